#!/usr/bin/python3
"""End-to-end tests of the Linux program: build/linux/fendrel in a fresh folder with
scripted engines as Engine1.exe and Engine2.exe, on a private Xvfb display, driven with
xdotool, checked by the engines' transcripts, log.txt, screenshots and the exit code.

Every process a case starts (Xvfb, the program, the engines the program starts) is ended
by its process id when the case ends, passed or failed.

Usage: run_e2e.py CASE --fendrel PATH --scripted PATH --chaos PATH --bridge PATH
                  --foreign PATH --scenarios DIR --work DIR
"""

import argparse
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import time

IMPORT = "/usr/bin/import"  # ImageMagick's, whatever else is on PATH

# Colours of the board picture, and what each means at a board point's centre.
SEEN = {
    (0, 0, 0): ".",           # the grid: an empty point
    (128, 128, 128): "+",     # an enclosure disc over an empty point
    (255, 50, 50): "X",
    (127, 50, 50): "x",
    (50, 50, 255): "O",
    (50, 50, 127): "o",
    (255, 255, 255): "*",     # the mark on the latest dot
}


# How long a wait for something the program must do may last before the case fails: a guard
# against a hang, far beyond what a busy machine needs, so that no case depends on its speed.
PATIENCE = 30


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, what, timeout=PATIENCE):
    """Polls predicate until it gives a true value, which is returned; fails after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def processes():
    """(pid, command line with its words joined by spaces, state, parent pid) of every
    process."""
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ")
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        # The state and the parent id are the first fields after the parenthesised name.
        state, parent = stat[stat.rindex(")") + 2:].split()[:2]
        yield int(entry), command, state, int(parent)


def children_of(pid):
    """Process ids whose parent is pid."""
    return [child for child, _, _, parent in processes() if parent == pid]


def process_start(pid):
    """The start time of a process, so that a reused id is never mistaken for it."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            stat = f.read()
        return stat[stat.rindex(")") + 2:].split()[19]
    except OSError:
        return None


class Session:
    """Xvfb and the program in a fresh folder; everything they started is ended on exit."""

    def __init__(self, args, case, engines):
        """engines: for each of "Engine1" and "Engine2" that is present, its program and the
        files to put beside it, by suffix (".script", ".mode")."""
        self.args = args
        self.folder = os.path.join(args.work, case)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        for name, (program, side_files) in engines.items():
            shutil.copy(program, self.path(name + ".exe"))
            for suffix, content in side_files.items():
                with open(self.path(name + suffix), "wb") as f:
                    f.write(content)
        self.owned = []  # (pid, start time) of every process to end
        self.xvfb = None
        self.program = None
        self.engine_pids = []

    def __enter__(self):
        self.start_display()
        self.program = subprocess.Popen([os.path.abspath(self.args.fendrel)], cwd=self.folder,
                                        env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=open(self.path("fendrel.stderr"), "wb"))
        self.own(self.program.pid)
        self.window = self.find_window("Fendrel")
        for pid in children_of(self.program.pid):
            self.own(pid)
            self.engine_pids.append(pid)
        return self

    def start_display(self):
        """Starts the case's own Xvfb and sets the environment of programs shown on it."""
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.own(self.xvfb.pid)
        os.close(write_end)
        with os.fdopen(read_end) as displayfd:
            number = displayfd.readline().strip()
        check(number, "Xvfb gave no display")
        self.display = ":" + number
        env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        env.pop("WAYLAND_DISPLAY", None)
        self.env = env

    def __exit__(self, *exc):
        # Engines run in groups of their own, and some start children: whatever still runs
        # from the case's folder is the case's, even when the program never saw its end.
        for pid in processes_of_folder(self.folder):
            self.own(pid)
        for pid, start in reversed(self.owned):
            if process_start(pid) == start:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for child in (self.program, self.xvfb):
            if child:
                child.wait()
        return False

    def own(self, pid):
        self.owned.append((pid, process_start(pid)))

    def path(self, name):
        return os.path.join(self.folder, name)

    def xdotool(self, *words):
        return subprocess.run(["xdotool", *words], env=self.env, capture_output=True,
                              text=True, timeout=10).stdout.split()

    def find_window(self, title):
        return wait_until(lambda: (self.xdotool("search", "--onlyvisible", "--name",
                                                f"^{title}$") or [None])[0],
                          f"a window named {title!r}")

    def window_gone(self, title):
        return not self.xdotool("search", "--onlyvisible", "--name", f"^{title}$")

    def click(self, x, y):
        """A left click at the board point (x, y)."""
        self.xdotool("mousemove", "--window", self.window, str(20 + 20 * x), str(20 + 20 * y),
                     "click", "1")

    def close(self, window):
        """Asks a window to close as a window manager does (WM_DELETE_WINDOW)."""
        send_delete_window(self.display, int(window))

    def exit_code(self):
        try:
            return self.program.wait(PATIENCE)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end after its window was closed")

    def screenshot(self):
        """The window's pixels: width, height and a function giving the colour at (x, y)."""
        ppm = subprocess.run([IMPORT, "-display", self.display, "-window", self.window,
                              "-depth", "8", "ppm:-"], capture_output=True, timeout=20).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        check(header, "no screenshot")
        width, height = int(header.group(1)), int(header.group(2))
        pixels = ppm[header.end():]
        return width, height, lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])

    def status_part_has_text(self, left, right):
        """Whether the status part between x = left and right shows any text: dark pixels
        inside its sunken frame, in the window's bottom 20 rows."""
        width, height, pixel = self.screenshot()
        return any(sum(pixel(x, y)) < 200 for x in range(left + 4, min(right, width) - 4)
                   for y in range(height - 16, height - 4))

    def board_seen(self, columns=39, rows=32):
        """One text line a row: what each board point's centre pixel shows, on a board of
        that size (the window programs' own is 39 x 32)."""
        _, _, pixel = self.screenshot()
        return ["".join(SEEN.get(pixel(20 + 20 * x, 20 + 20 * y), "?") for x in range(columns))
                for y in range(rows)]


def send_delete_window(display, window):
    """Sends WM_DELETE_WINDOW to a top-level window through Xlib."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("padding", ctypes.c_long * 16)]

    connection = x11.XOpenDisplay(display.encode())
    check(connection, "cannot open " + display)
    event = ClientMessage()
    event.type = 33  # ClientMessage
    event.window = window
    event.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.format = 32
    event.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def scripted(args, scenario):
    """Both engines as the scripted engine, each with its script from the scenario."""
    return {name: (args.scripted, {".script": read_file(
        os.path.join(args.scenarios, scenario, name + ".script"))})
        for name in ("Engine1", "Engine2")}


def expected_board(scenario_dir):
    with open(os.path.join(scenario_dir, "expected.board")) as f:
        return [line.rstrip("\n") for line in f if not line.startswith("#")]


def transcript(session, engine):
    return read_file(session.path(engine + ".transcript"))


def close_and_expect_quit(session, engines):
    session.close(session.window)
    check(session.exit_code() == 0, "exit code is not 0")
    for engine in engines:
        wait_until(lambda: transcript(session, engine).endswith(b"quit\n"),
                   engine + " to receive quit")


OPENING_ENGINE1 = (rb"new 32 39\nincrement 10000\ntime 10000\notime 0\ngo\n"
                   rb"move 20 15\ntime (\d+)\notime (\d+)\ngo\n")
OPENING_ENGINE2 = rb"new 32 39\nincrement 10000\nmove 19 15\ntime 10000\notime (\d+)\ngo\n"


def case_opening(args):
    """The opening exchange and two relayed moves as the engines received them, the log
    byte for byte, the window's caption and size, and quit on close with exit code 0."""
    with Session(args, "opening", scripted(args, "opening")) as session:
        _, _, geometry = session.xdotool("getwindowgeometry", session.window)[-3:]
        check(geometry == "795x675", "window size " + geometry)
        wait_until(lambda: b"one saw two" in read_file(session.path("log.txt")),
                   "the last message in log.txt")
        first = re.fullmatch(OPENING_ENGINE1, transcript(session, "Engine1"))
        second = re.fullmatch(OPENING_ENGINE2, transcript(session, "Engine2"))
        check(first, "Engine1 received %r" % transcript(session, "Engine1"))
        check(second, "Engine2 received %r" % transcript(session, "Engine2"))
        # Each side's clock loses what its move took of the increment, and gains the next.
        side1_left = int(second.group(1))
        check(0 <= side1_left <= 10000, "side 1's clock %d" % side1_left)
        check(int(first.group(1)) == side1_left + 10000, "side 1 credited wrongly")
        check(0 <= int(first.group(2)) <= 10000, "side 2's clock " + first.group(2).decode())
        check(read_file(session.path("log.txt")) ==
              b"Scripted One\nmove 19 15\nScripted Two\nmove 20 15\none saw two\n",
              "log.txt holds %r" % read_file(session.path("log.txt")))
        close_and_expect_quit(session, ["Engine1", "Engine2"])
        check(transcript(session, "Engine2").endswith(b"go\nquit\n"), "Engine2 after quit")


def case_captures(args):
    """A game with captures on both sides and an enclosed empty point: every board point
    of a screenshot shows what the game says."""
    with Session(args, "captures", scripted(args, "captures")) as session:
        wait_until(lambda: b"move 31 25\n" in transcript(session, "Engine1"),
                   "the last move to reach Engine1")
        expected = expected_board(os.path.join(args.scenarios, "captures"))
        # The repaint follows the move's relay; give it a moment.
        seen = []
        try:
            wait_until(lambda: seen.append(session.board_seen()) or seen[-1] == expected,
                       "the painted board")
        except Failure:
            raise Failure("board seen:\n" + "\n".join(seen[-1]) + "\nexpected:\n" +
                          "\n".join(expected))
        close_and_expect_quit(session, ["Engine1", "Engine2"])


def case_close_with_box(args):
    """Closing the window while an engine's reader waits on an open "illegal move!" box
    still sends quit to both engines and ends the program with exit code 0."""
    with Session(args, "close_with_box", scripted(args, "close_with_box")) as session:
        session.find_window("error")
        close_and_expect_quit(session, ["Engine1", "Engine2"])


def case_close_while_writing(args):
    """Closing the window while an engine floods it with output (without a line feed, for
    as long as the pipe is open) ends the program with exit code 0: no reader blocks on the
    window once it is gone."""
    engines = {"Engine1": (args.chaos, {".mode": b"endless\n"}),
               "Engine2": (args.chaos, {".mode": b"garbage\n"})}
    with Session(args, "close_while_writing", engines) as session:
        wait_until(lambda: len(read_file(session.path("log.txt"))) > 100000, "the flood to begin")
        close_and_expect_quit(session, [])


def case_close_in_a_flood(args):
    """Both engines write status lines without a pause: closing the window still ends the
    program with exit code 0, the window's thread taking the close between the lines."""
    engines = {"Engine1": (args.chaos, {".mode": b"chatter\n"}),
               "Engine2": (args.chaos, {".mode": b"chatter\n"})}
    with Session(args, "close_in_a_flood", engines) as session:
        wait_until(lambda: read_file(session.path("log.txt")).count(b"chatter") > 2000,
                   "the flood")
        close_and_expect_quit(session, [])


def case_no_engines(args):
    """Without engine programs the clicks alternate the sides; a click on a taken point
    opens a box captioned "error", and the window goes on taking clicks."""
    with Session(args, "no_engines", {}) as session:
        session.click(3, 4)
        session.click(5, 6)
        wait_until(lambda: session.board_seen()[6][5] == "*", "two clicks")
        session.click(3, 4)
        box = session.find_window("error")
        session.click(7, 8)
        wait_until(lambda: session.board_seen()[8][7] == "*", "a click with the box open")
        board = session.board_seen()
        check(board[4][3] == "X" and board[6][5] == "O", "board:\n" + "\n".join(board))
        session.close(box)
        wait_until(lambda: session.window_gone("error"), "the box to close")
        close_and_expect_quit(session, [])


def case_engine_exits(args):
    """An engine that exits mid-game passes its side to the mouse: clicks then play side 1
    and the other engine receives them."""
    with Session(args, "engine_exits", scripted(args, "engine_exits")) as session:
        # The program has seen the exit once part 5 shows "Engine1.exe exited"; only then
        # does a click play side 1.
        wait_until(lambda: session.status_part_has_text(365, 795), "the exit in part 5")
        session.click(5, 5)
        wait_until(lambda: b"move 5 5\n" in transcript(session, "Engine2"), "the click")
        # Engine2 answers at once; its move goes nowhere and side 1 is the mouse's again.
        wait_until(lambda: session.board_seen()[15][20] == "*", "Engine2's reply")
        session.click(6, 6)
        wait_until(lambda: b"move 6 6\n" in transcript(session, "Engine2"), "a second click")
        board = session.board_seen()
        check(board[5][5] == "X" and board[6][6] == "*" and board[15][20] == "O",
              "board after the clicks:\n" + "\n".join(board))
        close_and_expect_quit(session, ["Engine2"])


def processes_of_folder(folder):
    """Process ids of live processes (not zombies) whose command line names the folder."""
    return [pid for pid, command, state, _ in processes()
            if folder.encode() in command and state != "Z"]


def close_and_expect_nothing_left(session):
    """Closes the window: exit code 0, and no process of the case's folder left running."""
    session.close(session.window)
    check(session.exit_code() == 0, "exit code is not 0")
    left = processes_of_folder(session.folder)
    check(not left, "processes left running: %r" % left)


def chaos(args, mode):
    """The chaos engine in a mode."""
    return (args.chaos, {".mode": mode.encode() + b"\n"})


def case_deaf_movers(args):
    """Two engines that move without ever reading their input (each paced by the requests
    waiting in it) play the whole game: every move is relayed, the board fills, and closing the
    window ends both, though they never read "quit"."""
    engines = {"Engine1": chaos(args, "deaf-mover"),
               "Engine2": chaos(args, "deaf-mover")}
    with Session(args, "deaf_movers", engines) as session:
        session.close(session.find_window("Сообщение"))
        wait_until(lambda: session.window_gone("Сообщение"), "the box to close")
        board = session.board_seen()
        check(all("." not in row for row in board), "board not full:\n" + "\n".join(board))
        close_and_expect_nothing_left(session)


def bridged(args, protocol):
    """fendrel-bridge as the engine, playing the foreign test engine in a protocol; the
    bridge takes its words from the file beside it, one a line. The window plays the fendrel
    rules, which a gtp engine plays as the KataGo fork's nearest."""
    words = ["--nearest-rules", protocol, "--", os.path.abspath(args.foreign), protocol]
    return (args.bridge, {".bridge": "".join(word + "\n" for word in words).encode()})


def case_bridged_engines(args):
    """A pointsai engine against a gtp engine, each through fendrel-bridge, play the whole
    game: the board fills, the log holds each move the board shows and the engines' own
    lines, and closing the window leaves nothing running."""
    engines = {"Engine1": bridged(args, "pointsai"), "Engine2": bridged(args, "gtp")}
    with Session(args, "bridged_engines", engines) as session:
        session.close(session.find_window("Сообщение"))
        wait_until(lambda: session.window_gone("Сообщение"), "the box to close")
        board = session.board_seen()
        check(all("." not in row for row in board), "board not full:\n" + "\n".join(board))
        log = read_file(session.path("log.txt")).split(b"\n")
        dots = sum(row.count(mark) for row in board for mark in "XOxo*")
        moves = [line for line in log if line.startswith(b"move ")]
        check(len(moves) == dots, "%d moves in the log, %d dots on the board" % (len(moves), dots))
        for said in (b"pointsai: = 1 name ", b"gtp: =1 "):
            check(any(line.startswith(said) for line in log), "no %r in the log" % said)
        close_and_expect_nothing_left(session)


def case_line_4095(args):
    """A line of exactly 4095 bytes stays in part 5: its line feed brings no empty line."""
    engines = {"Engine1": chaos(args, "line-4095"), "Engine2": chaos(args, "legal")}
    with Session(args, "line_4095", engines) as session:
        # Engine 1's move follows the line: once it has been relayed, the line was read.
        wait_until(lambda: b"move " in transcript(session, "Engine2"), "engine 1's move")
        check(session.status_part_has_text(365, 795), "part 5 is empty")
        close_and_expect_nothing_left(session)


def case_refuse_storm(args):
    """Refused moves from both engines at once: each box holds up only its own engine, and
    closing them newest (topmost) first releases each; the game then plays to its end."""
    engines = {"Engine1": chaos(args, "refuse-storm"), "Engine2": chaos(args, "refuse-storm")}
    with Session(args, "refuse_storm", engines) as session:
        closed = 0
        while not session.xdotool("search", "--onlyvisible", "--name", "^Сообщение$"):
            boxes = session.xdotool("search", "--onlyvisible", "--name", "^error$")
            if boxes:
                session.close(boxes[-1])
                wait_until(lambda: boxes[-1] not in session.xdotool(
                    "search", "--onlyvisible", "--name", "^error$"), "the box to close")
                closed += 1
            else:
                wait_until(lambda: session.xdotool("search", "--onlyvisible", "--name",
                                                   "^(error|Сообщение)$"), "a box")
        check(closed == 12, "%d boxes" % closed)
        close_and_expect_nothing_left(session)


def case_spawns_child(args):
    """An engine that leaves a child holding its pipes: closing the window ends the child
    too, by its group, and the program still ends with exit code 0."""
    engines = {"Engine1": chaos(args, "spawns-child"), "Engine2": chaos(args, "legal")}
    with Session(args, "spawns_child", engines) as session:
        wait_until(lambda: any(b" hold" in read_file(f"/proc/{pid}/cmdline").replace(b"\0", b" ")
                               for pid in processes_of_folder(session.folder)), "the child")
        close_and_expect_nothing_left(session)


CASES = {
    "opening": case_opening,
    "captures": case_captures,
    "close_with_box": case_close_with_box,
    "close_while_writing": case_close_while_writing,
    "close_in_a_flood": case_close_in_a_flood,
    "engine_exits": case_engine_exits,
    "no_engines": case_no_engines,
    "deaf_movers": case_deaf_movers,
    "line_4095": case_line_4095,
    "refuse_storm": case_refuse_storm,
    "spawns_child": case_spawns_child,
    "bridged_engines": case_bridged_engines,
}


def run_case(cases, options):
    """Runs the case the command line names, with the options every case needs."""
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(cases))
    for option in options:
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    try:
        cases[args.case](args)
    except Failure as failure:
        print("FAILED:", failure)
        return 1
    print("passed")
    return 0


def main():
    return run_case(CASES, ("--fendrel", "--scripted", "--chaos", "--bridge", "--foreign",
                            "--scenarios", "--work"))


if __name__ == "__main__":
    sys.exit(main())
