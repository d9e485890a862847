#!/usr/bin/env python3
"""End-to-end tests of the Windows program: fendrel.exe under Wine in a real window.

Usage: e2e_win32.py BUILD_DIR SOURCE_DIR ARCH CASE

ARCH is win32 for the shipped 32-bit program, win64 for its 64-bit test twin.

Each case runs in a fresh folder BUILD_DIR/e2e-runs/CASE (kept afterwards for a look) that
holds the program and, for each engine of the case's scenario (tests/e2e/win32/scenarios), the
scripted test engine as EngineN.exe with its script. The scripted engines record what they
receive (EngineN.transcript) and what they write (EngineN.output). Cases that read the
status bar run fendrel_traced.exe, the same program with every status text also written
to status-trace.txt.
"""

import os
import re
import shutil
import sys

import board_check
from wine_session import PATIENCE, TestFailure, WineSession, wait_for

# The name that start-up shows for each side until its engine names itself.
PLAYER = "Игрок"


class Case:
    """The folder, the files and the session of one case."""

    def __init__(self, build_dir, source_dir, arch, name):
        self.build_dir = build_dir
        self.source_dir = source_dir
        self.arch = arch
        self.folder = os.path.join(build_dir, "e2e-runs", name)

    def prepare(self, scenario=None, traced=False):
        """A fresh folder with the program and the scenario's engines; the program's name."""
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        program = "fendrel_traced.exe" if traced else "fendrel.exe"
        shutil.copy(os.path.join(self.build_dir, program), self.folder)
        if scenario:
            scenario_dir = os.path.join(self.source_dir, "tests", "e2e", "win32", "scenarios",
                                        scenario)
            for n in (1, 2):
                script = os.path.join(scenario_dir, "Engine%d.script" % n)
                if os.path.exists(script):
                    shutil.copy(script, self.folder)
                    shutil.copy(os.path.join(self.build_dir, "scripted_engine.exe"),
                                os.path.join(self.folder, "Engine%d.exe" % n))
        return program

    def add_chaos_engine(self, n, mode):
        """The chaos test engine as EngineN.exe, in the given mode."""
        shutil.copy(os.path.join(self.build_dir, "chaos_engine.exe"),
                    os.path.join(self.folder, "Engine%d.exe" % n))
        with open(os.path.join(self.folder, "Engine%d.mode" % n), "w") as mode_file:
            mode_file.write(mode + "\n")

    def session(self, program):
        """The program running in the case's folder."""
        return WineSession(self.build_dir, self.source_dir, self.arch, self.folder, program)

    def scenario_file(self, scenario, name):
        return os.path.join(self.source_dir, "tests", "e2e", "win32", "scenarios", scenario, name)

    def read(self, name):
        """A file of the folder as bytes; empty when it does not exist."""
        try:
            with open(os.path.join(self.folder, name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""

    def status_texts(self, part=None):
        """Every status text the traced program set, as (part, text), or one part's texts."""
        texts = []
        for line in self.read("status-trace.txt").split(b"\n")[:-1]:
            number, _, text = line.partition(b" ")
            texts.append((int(number), text.decode("cp1251")))
        return texts if part is None else [text for p, text in texts if p == part]

    def wait_for_quit(self, engines=(1, 2)):
        """Waits until each engine has received the quit line."""
        wait_for("quit in the transcripts", lambda: all(
            self.read("Engine%d.transcript" % n).endswith(b"quit\n") for n in engines))


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for_board(session, rows, latest, timeout=PATIENCE):
    """Waits until the screen shows the position; fails with the cells that differ."""
    last = []

    def shows_position():
        last[:] = board_check.mismatches(session.screenshot(), session.origin(), rows, latest)
        return not last

    wait_for(lambda: "the position; cells that differ:\n  " + "\n  ".join(last),
             shows_position, timeout=timeout, interval=0.3)


def diagram(moves):
    """The rows of a board holding the given dots: {(x, y): letter}."""
    rows = [list(row) for row in board_check.empty_diagram()]
    for (x, y), letter in moves.items():
        rows[y][x] = letter
    return ["".join(row) for row in rows]


def close_and_expect_exit_code_0(session):
    session.close_main_window()
    code = session.wait_exit()
    check(code == 0, "exit code %d" % code)


def text_mode(data):
    """Bytes as a text-mode stream of the C runtime stores them."""
    return data.replace(b"\n", b"\r\n")


def case_opening_exchange(case):
    """The start-up lines reach both engines byte for byte; the log holds what they wrote."""
    with case.session(case.prepare("opening")) as session:
        wait_for("the first request to move",
                 lambda: case.read("Engine1.transcript").endswith(b"go\n"))
        wait_for("both names", lambda: case.read("Engine1.output") and case.read("Engine2.output"))
        close_and_expect_exit_code_0(session)
        case.wait_for_quit()
    for n in (1, 2):
        with open(case.scenario_file("opening", "Engine%d.expected" % n), "rb") as f:
            expected = f.read()
        got = case.read("Engine%d.transcript" % n)
        check(got == expected, "Engine%d received %r, expected %r" % (n, got, expected))
    out1, out2 = case.read("Engine1.output"), case.read("Engine2.output")
    log = case.read("log.txt")
    check(log in (text_mode(out1 + out2), text_mode(out2 + out1)),
          "log.txt holds %r; the engines wrote %r and %r" % (log, out1, out2))


def case_captures_on_screen(case):
    """Every grid point of a game with captures and enclosures shows its state."""
    rows, latest = board_check.read_diagram(case.scenario_file("captures", "board.txt"))
    with case.session(case.prepare("captures")) as session:
        wait_for_board(session, rows, latest)
        close_and_expect_exit_code_0(session)
        case.wait_for_quit()


def case_mouse_plays_both_sides(case):
    """Without engines the clicks alternate the sides; an occupied cell brings "error"."""
    with case.session(case.prepare()) as session:
        facts = session.main
        check(facts["caption"] == "Fendrel", "caption %r" % facts["caption"])
        check(facts["outer"] == "810 700", "outer size %s" % facts["outer"])
        style = int(facts["style"], 16)
        # A title bar with system menu and minimise box, no sizing border, no maximise box.
        check(style & 0x00CF0000 == 0x00CA0000, "style %x" % style)
        check(int(facts["class_style"], 16) == 0, "class style " + facts["class_style"])
        wait_for_board(session, board_check.empty_diagram(), None)

        for x in (3, 4, 5):
            session.click_point(x, 3)
        wait_for_board(session, diagram({(3, 3): "X", (4, 3): "O", (5, 3): "X"}), (5, 3))
        session.click_point(4, 3)
        wait_for("the box", lambda: ("error", "illegal move!") in session.message_boxes())
        # The box has no owner: the board still takes clicks while it is open.
        session.click_point(6, 3)
        session.dismiss_message_box("error")
        wait_for_board(session, diagram({(3, 3): "X", (4, 3): "O", (5, 3): "X", (6, 3): "O"}),
                       (6, 3))
        close_and_expect_exit_code_0(session)
    check(case.read("log.txt") == b"", "log.txt is not empty")


def case_one_engine_and_the_mouse(case):
    """Clicks are ignored while the engine's side is to move and play the other side."""
    rows, latest = board_check.read_diagram(case.scenario_file("one_engine", "board.txt"))
    with case.session(case.prepare("one_engine", traced=True)) as session:
        wait_for_board(session, diagram({(4, 4): "X"}), (4, 4))
        session.click_point(6, 6)
        wait_for_board(session, diagram({(4, 4): "X", (6, 6): "O"}), (6, 6))
        # Side 1 is to move and its engine holds its move. The click is queued before the
        # next two ticks of side 1's clock, which the window handles only once no input is
        # waiting: by then the click has been handled, and ignored.
        ticks = len(case.status_texts(1))
        session.click_point(10, 10)
        wait_for("two ticks of side 1's clock", lambda: len(case.status_texts(1)) >= ticks + 2)
        open(os.path.join(case.folder, "Engine1.go"), "w").close()
        wait_for_board(session, rows, latest)
        close_and_expect_exit_code_0(session)
        case.wait_for_quit(engines=(1,))
    transcript = case.read("Engine1.transcript")
    check(re.fullmatch(rb"new 32 39\nincrement 10000\ntime 10000\notime 0\ngo\n"
                       rb"move 6 6\ntime \d+\notime \d+\ngo\nquit\n", transcript),
          "Engine1 received %r" % transcript)


def case_status_texts(case):
    """Names, both clocks, the score and an engine's message reach their parts."""
    rows, latest = board_check.read_diagram(case.scenario_file("captures", "board.txt"))
    with case.session(case.prepare("captures", traced=True)) as session:
        wait_for_board(session, rows, latest)
        wait_for("the last score", lambda: len(case.status_texts(4)) == 19)
        close_and_expect_exit_code_0(session)
    texts = case.status_texts()
    check(texts[:2] == [(0, PLAYER), (2, PLAYER)], "start-up texts %r" % texts[:2])
    check(case.status_texts(0) == [PLAYER, "Alpha"], "part 0: %r" % case.status_texts(0))
    check(case.status_texts(2) == [PLAYER, "Beta"], "part 2: %r" % case.status_texts(2))
    # Side 2 captures with the 10th move, side 1 with the 19th.
    scores = ["0"] * 9 + ["-1"] * 9 + ["0"]
    check(case.status_texts(4) == scores, "part 4: %r" % case.status_texts(4))
    check(case.status_texts(5) == ["Beta is out of moves"], "part 5: %r" % case.status_texts(5))
    # No clock shows before the first move; side 2's first turn starts at 0:10, and side 1's
    # clock shows first on its second turn.
    clock_texts = [(p, t) for p, t in texts if p in (1, 3)]
    check(clock_texts[0] == (3, "0:10"), "first clock text %r" % (clock_texts[:1],))
    check(all(re.fullmatch(r"\d+:\d\d", t) for _, t in clock_texts), "clocks %r" % clock_texts)
    first_score = texts.index((4, "0"))
    check(all(texts.index(t) > first_score for t in clock_texts), "a clock before the first move")


def case_full_board_and_quit(case):
    """The last free cell brings "Сообщение"; closing sends quit to both; exit code 0."""
    rows, latest = board_check.read_diagram(case.scenario_file("full_board", "board.txt"))
    with case.session(case.prepare("full_board")) as session:
        wait_for("the end of the game",
                 lambda: ("Сообщение", "Игра окончена") in session.message_boxes(), timeout=2 * PATIENCE,
                 interval=1)
        session.dismiss_message_box("Сообщение")
        wait_for_board(session, rows, latest)
        close_and_expect_exit_code_0(session)
        case.wait_for_quit()
    # Side 2's last dot is relayed to nobody: engine 1 got 623 moves, engine 2 all 624.
    for n, moves in ((1, 623), (2, 624)):
        transcript = case.read("Engine%d.transcript" % n)
        check(transcript.count(b"move ") == moves, "Engine%d got %d moves" % (
            n, transcript.count(b"move ")))
        check(transcript.endswith(b"go\nquit\n") and transcript.count(b"quit\n") == 1,
              "Engine%d's transcript ends %r" % (n, transcript[-40:]))


def case_engine_exits_mid_game(case):
    """An engine that exits mid-game hands its side to the mouse."""
    rows, latest = board_check.read_diagram(case.scenario_file("engine_exits", "board.txt"))
    with case.session(case.prepare("engine_exits", traced=True)) as session:
        wait_for("the exit", lambda: "Engine2.exe exited" in case.status_texts(5))
        wait_for_board(session, diagram({(5, 5): "X", (6, 6): "O", (7, 7): "X"}), (7, 7))
        session.click_point(8, 8)
        wait_for_board(session, rows, latest)
        close_and_expect_exit_code_0(session)
        case.wait_for_quit(engines=(1,))
    check(b"move 8 8\n" in case.read("Engine1.transcript"), "the click was not relayed")


def case_engine_floods_the_window(case):
    """10 MiB without a line feed leave the window answering and the log complete."""
    program = case.prepare()
    case.add_chaos_engine(1, "huge")
    with case.session(program) as session:
        wait_for("the flood", lambda: case.read("Engine1.output").endswith(b"\nafter\n"),
                 timeout=60)
        flood = text_mode(case.read("Engine1.output"))
        wait_for("the whole flood in the log", lambda: case.read("log.txt") == flood, timeout=60)
        code, lines = session.probe("main")  # asks the window itself for its caption
        check(code == 0 and "caption Fendrel" in lines, "the window does not answer")
        close_and_expect_exit_code_0(session)


def case_close_in_a_flood(case):
    """Both engines write status lines without a pause: Alt+F4 still closes the window, and
    the program ends with exit code 0."""
    program = case.prepare()
    case.add_chaos_engine(1, "chatter")
    case.add_chaos_engine(2, "chatter")
    with case.session(program) as session:
        wait_for("the flood", lambda: case.read("log.txt").count(b"chatter") > 2000)
        close_and_expect_exit_code_0(session)


def game_over(session):
    """Waits for the end of the game's box and closes it."""
    wait_for("the end of the game",
             lambda: ("Сообщение", "Игра окончена") in session.message_boxes(),
             timeout=2 * PATIENCE, interval=1)
    session.dismiss_message_box("Сообщение")


def full_board():
    """The rows of the board the deaf and half movers fill: side 1 left, side 2 right, the
    middle column shared, its even rows side 1's; the last dot is side 2's, bottom middle."""
    rows = ["X" * 19 + ("X" if y % 2 == 0 else "O") + "O" * 19 for y in range(32)]
    return rows, (19, 31)


def running_engines(case, words):
    """Command lines of the live (not zombie) processes of the case's EngineN.exe whose
    command line holds words."""
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
            with open("/proc/%s/stat" % entry) as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        # Only this case's: Wine shows the program by its path in the case's folder.
        engine = re.search(r"%s.Engine\d\.exe" % re.escape(os.path.basename(case.folder)),
                           command)
        if engine and words in command and state != "Z":
            found.append(command)
    return found


def case_deaf_mover_plays_a_whole_game(case):
    """An engine that never reads, its pipe full after some hundred turns, keeps moving (on
    the score texts of the status trace): every move is relayed, and closing the window
    ends it though it never reads "quit"."""
    program = case.prepare(traced=True)
    case.add_chaos_engine(1, "deaf-mover status-trace.txt")
    case.add_chaos_engine(2, "half-mover")
    with case.session(program) as session:
        game_over(session)
        wait_for_board(session, *full_board())
        close_and_expect_exit_code_0(session)
    logged = case.read("log.txt")
    check(logged.count(b"move ") == 39 * 32, "%d moves logged" % logged.count(b"move "))
    check(case.read("Engine2.transcript").count(b"move ") == 624, "not every move was relayed")


def case_line_of_4095_bytes(case):
    """A line of exactly 4095 bytes is shown whole in part 5; its line feed brings no empty
    line after it. The other engine never moves, so that no end of the game's box can take
    the Alt+F4 meant for the main window."""
    program = case.prepare(traced=True)
    case.add_chaos_engine(1, "line-4095")
    case.add_chaos_engine(2, "stall")
    with case.session(program) as session:
        wait_for("engine 1's move", lambda: b"move " in case.read("Engine2.transcript"))
        texts = case.status_texts(5)
        check(texts and texts[-1] == "L" * 4095, "part 5 ends with %r" % [t[:20] for t in texts])
        close_and_expect_exit_code_0(session)


def case_refusals_from_both_engines(case):
    """Refused moves from both engines at once: each box holds up only its own engine; they
    are closed topmost first, each releasing its own, and the game plays to its end."""
    program = case.prepare()
    case.add_chaos_engine(1, "refuse-storm")
    case.add_chaos_engine(2, "refuse-storm")
    with case.session(program) as session:
        closed = 0
        while True:
            boxes = session.message_boxes()
            if ("Сообщение", "Игра окончена") in boxes:
                break
            if ("error", "illegal move!") in boxes:
                session.press_ok("error")
                closed += 1
        check(closed == 12, "%d boxes" % closed)
        session.press_ok("Сообщение")
        close_and_expect_exit_code_0(session)


def case_engine_leaves_a_child(case):
    """An engine that leaves a child holding its pipes: closing the window ends the child
    with the engine's job, and the program still ends with exit code 0."""
    program = case.prepare()
    case.add_chaos_engine(1, "spawns-child")
    case.add_chaos_engine(2, "legal")
    with case.session(program) as session:
        wait_for("the child", lambda: running_engines(case, " hold"))
        close_and_expect_exit_code_0(session)
        check(not running_engines(case, ""), "left running: %r" % running_engines(case, ""))


def case_bridged_engine(case):
    """fendrel-bridge as Engine1.exe, its words in Engine1.bridge beside it, plays a pointsai
    engine in the window to the end of the game: its moves reach the other engine, its lines
    reach the log, the engine has no console window (which would take the keys), and closing
    the window ends the bridge and its engine, with exit code 0."""
    program = case.prepare()
    case.add_chaos_engine(2, "legal")
    shutil.copy(os.path.join(case.build_dir, "fendrel-bridge.exe"),
                os.path.join(case.folder, "Engine1.exe"))
    # Named as the window's engines are, so that running_engines finds it too.
    shutil.copy(os.path.join(case.build_dir, "foreign_engine.exe"),
                os.path.join(case.folder, "Engine3.exe"))
    engine = "Z:" + os.path.join(case.folder, "Engine3.exe").replace("/", "\\")
    with open(os.path.join(case.folder, "Engine1.bridge"), "w") as words:
        words.write("pointsai\n--\n%s\npointsai\n" % engine)
    with case.session(program) as session:
        wait_for("ten bridged moves",
                 lambda: case.read("Engine2.transcript").count(b"move ") >= 10)
        try:
            consoles = session.xdotool("search", "--name", "Engine3")
        except TestFailure:  # xdotool found none
            consoles = ""
        check(not consoles, "the bridged engine has a console window")
        # The end of the game's box would take a key meant for the main window.
        game_over(session)
        close_and_expect_exit_code_0(session)
        case.wait_for_quit(engines=(2,))
        check(not running_engines(case, ""), "left running: %r" % running_engines(case, ""))
    check(b"pointsai: = 1 name Foreign pointsai" in case.read("log.txt"), "the engine's lines")


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    if len(sys.argv) != 5 or sys.argv[3] not in ("win32", "win64") or sys.argv[4] not in CASES:
        print("usage: e2e_win32.py BUILD_DIR SOURCE_DIR win32|win64 CASE; cases: "
              + " ".join(CASES))
        return 2
    build_dir, source_dir, arch, name = sys.argv[1:]
    try:
        CASES[name](Case(build_dir, source_dir, arch, name))
    except TestFailure as failure:
        print("FAILED %s: %s" % (name, failure))
        return 1
    print("passed " + name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
