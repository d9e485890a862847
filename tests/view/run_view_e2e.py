#!/usr/bin/python3
"""fendrel-view on a private Xvfb display: a recorded game stepped through with the keys,
each position's screenshot checked point by point against the same game replayed to the
same move by the rules core (fendrel-board show); and a file that cannot be read is named
in a box and on standard error, and the program ends with exit code 1 once the box closes.

Every process a case starts (Xvfb, the viewer) is ended by its process id when the case
ends, passed or failed.

Usage: run_view_e2e.py CASE --view PATH --board PATH --results FILE --work DIR
"""

import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e_qt"))
import run_e2e as e2e  # noqa: E402  the display session, screenshots and checks

GAME = 1
COLUMNS = 39
# Keys pressed one after another from the start, and the move each leaves the viewer at:
# the empty board, the opening, steps of ten and of one, the end and ten before it.
STEPS = [([], 0), (["Next", "Next", "Next"], 30), (["Right"], 31), (["End"], None),
         (["Prior"], -10), (["Home"], 0)]


class ViewSession(e2e.Session):
    """Xvfb and fendrel-view with the given words in a fresh folder."""

    def __init__(self, args, case, words):
        super().__init__(args, case, {})
        self.words = words

    def __enter__(self):
        self.start_display()
        self.program = subprocess.Popen(
            [os.path.abspath(self.args.view), *self.words], cwd=self.folder, env=self.env,
            stdout=subprocess.DEVNULL, stderr=open(self.path("view.stderr"), "wb"))
        self.own(self.program.pid)
        return self

    def press(self, key):
        """A key typed into the viewer's window, which the pointer over it gives the focus."""
        self.xdotool("mousemove", "--window", self.window, "700", "5")
        self.xdotool("key", "--window", self.window, key)


def recorded_dots(path):
    """The dots of the game GAME of a results file (its names may be in any code page)."""
    with open(path, "rb") as results:
        for line in results:
            try:
                record = json.loads(line.decode("latin-1"))
            except ValueError:
                continue
            if record.get("game") == GAME:
                return record["dots"]
    raise e2e.Failure("no game %d in %s" % (GAME, path))


def replayed_board(args, move):
    """The rules core's board at the move, as fendrel-board prints it: one string a row,
    with the latest dot marked "*" as the picture marks it."""
    out = subprocess.run([args.board, "show", args.results, "--game", str(GAME), "--move",
                          str(move)], capture_output=True, text=True, errors="replace",
                         timeout=60, check=True).stdout
    rows = [line[3::2] for line in out.splitlines()
            if len(line) == 2 + 2 * COLUMNS and line[1] != " "]
    e2e.check(len(rows) == 32, "fendrel-board printed %d rows" % len(rows))
    if move > 0:
        x, y = recorded_dots(args.results)[move - 1]
        rows[y] = rows[y][:x] + "*" + rows[y][x + 1:]
    return rows


def case_steps(args):
    dots = len(recorded_dots(args.results))
    with ViewSession(args, "steps", [args.results, "--game", str(GAME), "--move", "0"]) as view:
        view.window = view.find_window("Fendrel view")
        move = 0
        for keys, reached in STEPS:
            for key in keys:
                view.press(key)
            move = dots if reached is None else dots + reached if reached < 0 else reached
            expected = replayed_board(args, move)
            e2e.wait_until(lambda: view.board_seen() == expected, "the board at move %d" % move)
        e2e.check(any("x" in row or "o" in row for row in replayed_board(args, dots)),
                  "the game has captures to check")


def case_unreadable(args):
    with ViewSession(args, "unreadable", [os.path.join(args.work, "missing.jsonl")]) as view:
        box = view.find_window("fendrel-view")
        view.close(box)
        code = view.exit_code()
        message = e2e.read_file(view.path("view.stderr"))
        e2e.check(code == 1, "exit code %s" % code)
        e2e.check(b"cannot read" in message, "the message: %r" % message)


CASES = {"steps": case_steps, "unreadable": case_unreadable}


if __name__ == "__main__":
    sys.exit(e2e.run_case(CASES, ("--view", "--board", "--results", "--work")))
