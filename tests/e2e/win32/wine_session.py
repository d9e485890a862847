"""A Windows program running under Wine on a private X display, for end-to-end tests.

A session starts Xvfb (the display number comes back through -displayfd), then the program
through scripts/wine-run.sh in the tests' own Wine prefix, with LANG=ru_RU.UTF-8 so that
Wine shows Windows-1251 texts as Russian. It drives the program with xdotool, looks at the
screen with ImageMagick's import, and asks window_probe.exe (run in the same prefix) for
what X cannot tell. On leaving it ends what it started, by process id: the program, every
Wine process of its prefix (wineserver -k for that prefix only), and Xvfb.
"""

import os
import re
import subprocess
import tempfile
import time

IMPORT = "/usr/bin/import"  # ImageMagick's; another `import` may come first on PATH
SCREEN = "1280x1024x24"
# How long a wait for something the program must do may last before the case fails: a guard
# against a hang, far beyond what a busy machine needs, so that no case depends on its speed.
PATIENCE = 60.0


class TestFailure(Exception):
    """What a case found wrong."""


def wait_for(what, condition, timeout=PATIENCE, interval=0.1):
    """Polls condition until it returns something true, and returns that. `what` names
    what is awaited, or is a function that tells it once the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + (what() if callable(what) else what))
        time.sleep(interval)


class Screenshot:
    """The screen's pixels as RGB triples, read from a binary PPM."""

    def __init__(self, ppm):
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not match or match.group(3) != b"255":
            raise TestFailure("unexpected screenshot format")
        self.width = int(match.group(1))
        self.height = int(match.group(2))
        self.pixels = ppm[match.end():]

    def rgb(self, x, y):
        """The colour of one pixel of the screen."""
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


class WineSession:
    """One run of a Windows program in a folder, on its own X display."""

    def __init__(self, build_dir, source_dir, arch, folder, program):
        self.build_dir = build_dir
        self.source_dir = source_dir
        self.arch = arch
        self.folder = folder
        self.program = program
        self.prefix = os.path.join(build_dir, "e2e-wineprefix")
        self.xvfb = None
        self.process = None
        self.env = None
        self.main = None

    def __enter__(self):
        try:
            self._start_display()
            self._start_program()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            display = reader.readline().strip()
        if not display:
            raise TestFailure("Xvfb did not start")
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
        env.update(DISPLAY=":" + display, LANG="ru_RU.UTF-8", WINEPREFIX=self.prefix,
                   WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env = env

    def _wine(self, args, **kwargs):
        wine_run = os.path.join(self.source_dir, "scripts", "wine-run.sh")
        return [wine_run, self.arch, self.prefix] + args, dict(kwargs, env=self.env)

    def _start_program(self):
        command, options = self._wine([self.program], cwd=self.folder,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.process = subprocess.Popen(command, **options)
        # The prefix is made on the first run of a fresh build tree, which takes a while.
        self.main = wait_for("the main window", self._probe_main, timeout=2 * PATIENCE, interval=0.3)

    def probe(self, *question):
        """window_probe.exe's answer, as lines of text (decoded from Windows-1251)."""
        probe = os.path.join(self.build_dir, "window_probe.exe")
        # Into a file, not a pipe: Wine's own processes, started by whichever Wine program
        # comes first, inherit its output and would hold a pipe open for ever.
        with tempfile.TemporaryFile() as answer:
            command, options = self._wine([probe, *question], stdout=answer,
                                          stderr=subprocess.DEVNULL, timeout=30)
            code = subprocess.run(command, **options).returncode
            answer.seek(0)
            return code, answer.read().decode("cp1251").splitlines()

    def _probe_main(self):
        if self.process.poll() is not None:
            raise TestFailure("the program ended at start, code %d" % self.process.returncode)
        code, lines = self.probe("main")
        if code != 0:
            return None
        facts = {}
        for line in lines:
            key, _, value = line.partition(" ")
            facts[key] = value
        return facts

    def origin(self):
        """The client area's top left on the screen."""
        x, y = self.main["origin"].split()
        return int(x), int(y)

    def _boxes(self):
        """(caption, text, OK button's centre, handle) of each message box on the screen,
        topmost first."""
        _, lines = self.probe("boxes")
        return [line.rsplit("|", 3) for line in lines]

    def message_boxes(self):
        """(caption, text) of each message box on the screen."""
        return [(caption, text) for caption, text, _, _ in self._boxes()]

    def dismiss_message_box(self, caption):
        """Clicks OK in the topmost message box with this caption, and waits until one of the
        boxes with it is gone (others may stay or come)."""
        boxes = [(centre, h) for c, _, centre, h in self._boxes() if c == caption]
        self.xdotool("mousemove", "--sync", *boxes[0][0].split(), "click", "1")
        before = {h for _, h in boxes}
        wait_for("the box to close",
                 lambda: not before <= {h for c, _, _, h in self._boxes() if c == caption})

    def press_ok(self, caption):
        """Presses OK in the topmost message box with this caption, by its handle, and waits
        until that box is gone; its handle."""
        handle = [h for c, _, _, h in self._boxes() if c == caption][0]
        code, _ = self.probe("ok", handle)
        if code != 0:
            raise TestFailure("could not press OK in box %s" % handle)
        wait_for("the box to close", lambda: all(h != handle for _, _, _, h in self._boxes()))
        return handle

    def xdotool(self, *args):
        """Runs xdotool on this display and returns its output."""
        result = subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True,
                                text=True, timeout=30)
        if result.returncode != 0:
            raise TestFailure("xdotool %s failed: %s" % (" ".join(args), result.stderr))
        return result.stdout

    def click(self, px, py):
        """A left click at client pixel (px, py) of the main window."""
        ox, oy = self.origin()
        self.xdotool("mousemove", "--sync", str(ox + px), str(oy + py), "click", "1")

    def click_point(self, x, y):
        """A left click on the grid point of board column x, row y."""
        self.click(20 + 20 * x, 20 + 20 * y)

    def screenshot(self):
        """The whole screen as it is now."""
        ppm = subprocess.run([IMPORT, "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                             capture_output=True, check=True, timeout=30).stdout
        return Screenshot(ppm)

    def close_main_window(self):
        """Closes the main window as a user does with Alt+F4, once Wine has made it the
        window that keys go to: X focus alone does not move Wine's, which a closed message
        box may have left on no window at all."""
        window = self.xdotool("search", "--name", "^Fendrel$").split()[0]
        self.xdotool("windowfocus", "--sync", window)
        wait_for("the main window to take the keys",
                 lambda: (self._probe_main() or {}).get("active") == "1")
        self.xdotool("key", "alt+F4")

    def wait_exit(self, timeout=PATIENCE):
        """The program's exit code, once it has ended."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the program did not end") from None

    def close(self):
        """Ends the program, every process of the prefix, and the display."""
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.env:
            # -k only starts the end; the next case's programs must not meet this server.
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()
