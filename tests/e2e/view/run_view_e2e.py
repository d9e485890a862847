#!/usr/bin/python3
"""fendrel-view on a private Xvfb display, each position's screenshot checked point by
point against the same game replayed to the same move by the rules core (fendrel-board
show):

- steps: a results file's game, stepped with every key that moves;
- other_program: both 39 x 32 games of an SGF file in the shapes other dots programs write
  (set-up dots, outlines, one side twice in a row, a variation, unknown properties, and a
  third tree on another board), stepped to every move;
- match_sgf: a game that fendrel-match writes with --sgf, from an opening of that file,
  stepped to every move;
- standard_game: a game of the KataGo fork on 20 x 16 under the standard rules its RU names,
  taken to its end, the grounding that ends it, with End;
- unreadable: a file that cannot be read is named in a box and on standard error, and the
  program ends with exit code 1 once the box closes;
- follow: fendrel-view --follow watches a real round robin of three quick engines that
  fendrel-match plays meanwhile, from before its results file exists to its end; at several
  moments a key takes the view off the game it follows, and the board then shown (the game
  and move the title names) is checked against fendrel-board's of that game and move, as is
  the last game's end, which the view follows to once the match is over.

Every process a case starts (Xvfb, the viewer, the match) is ended by its process id when
the case ends, passed or failed.

Usage: run_view_e2e.py CASE --view PATH --board PATH --results FILE --other FILE
                       --standard FILE --match PATH --dotbot PATH --chaos PATH
                       --random PATH --greedy PATH --work DIR
"""

import json
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qt"))
import run_e2e as e2e  # noqa: E402  the display session, screenshots and checks

GAME = 1
COLUMNS = 39
ROWS = 32
# The standard game's board, its moves (the last one grounding) and its last dot.
STANDARD_SIZE = (20, 16)
STANDARD_MOVES = 18
STANDARD_LAST_DOT = (12, 4)
# Keys pressed one after another from the start, and the move each leaves the viewer at:
# the empty board, the opening, steps of ten and of one, the end and ten before it.
STEPS = [([], 0), (["Next", "Next", "Next"], 30), (["Right"], 31), (["End"], None),
         (["Prior"], -10), (["Home"], 0)]


class ViewSession(e2e.Session):
    """Xvfb and fendrel-view with the given words in a fresh folder."""

    def __init__(self, args, case, words, screen="1024x768"):
        super().__init__(args, case, {})
        self.words = words
        self.screen = screen

    def __enter__(self):
        self.start_display(self.screen)
        self.program = subprocess.Popen(
            [os.path.abspath(self.args.view), *self.words], cwd=self.folder, env=self.env,
            stdout=subprocess.DEVNULL, stderr=open(self.path("view.stderr"), "wb"))
        self.own(self.program.pid)
        return self

    def press(self, key):
        """A key typed into the viewer's window, which the pointer over it gives the focus."""
        self.xdotool("mousemove", "--window", self.window, "700", "5")
        self.xdotool("key", "--window", self.window, key)

    def title(self):
        return " ".join(self.xdotool("getwindowname", self.window))


def results_lines(path):
    """The results lines of a file, in its order (its names may be in any code page)."""
    with open(path, "rb") as results:
        for line in results:
            try:
                yield json.loads(line.decode("latin-1"))
            except ValueError:
                continue


def recorded_dots(path, game=GAME):
    """The dots of a game of a results file."""
    for record in results_lines(path):
        if record.get("game") == game:
            return record["dots"]
    raise e2e.Failure("no game %d in %s" % (game, path))


def shown_board(args, path, game, move, columns=COLUMNS, rows=ROWS):
    """The rules core's board at the move, as fendrel-board prints it: one string a row."""
    out = subprocess.run([args.board, "show", path, "--game", str(game), "--move", str(move)],
                         capture_output=True, text=True, errors="replace", timeout=60,
                         check=True).stdout
    grid = [line[3::2] for line in out.splitlines()[:rows + 2]
            if len(line) == 2 + 2 * columns and line[1] != " "]
    e2e.check(len(grid) == rows, "fendrel-board printed %d rows" % len(grid))
    return grid


def marked(rows, x, y):
    """The rows with the latest dot at (x, y) marked "*", as the picture marks it."""
    return rows[:y] + [rows[y][:x] + "*" + rows[y][x + 1:]] + rows[y + 1:]


def replayed_board(args, move, path=None, game=GAME):
    """The board of a results file's game (by default GAME of --results) at the move, its
    latest dot marked."""
    path = path or args.results
    rows = shown_board(args, path, game, move)
    if move > 0:
        x, y = recorded_dots(path, game)[move - 1]
        rows = marked(rows, x, y)
    return rows


def step_every_move(args, path, game, moves):
    """Opens the game at its start and steps it with Right to its end, each board checked
    against the rules core's; the latest dot is the one point that was free a move before."""
    with ViewSession(args, "game-%d" % game, [path, "--game", str(game), "--move", "0"]) as view:
        view.window = view.find_window("Fendrel view")
        before = shown_board(args, path, game, 0)
        e2e.wait_until(lambda: view.board_seen() == before, "the board before the first move")
        for move in range(1, moves + 1):
            view.press("Right")
            rows = shown_board(args, path, game, move)
            new = [(x, y) for y in range(32) for x in range(COLUMNS)
                   if before[y][x] == "." and rows[y][x] in "XO"]
            e2e.check(len(new) == 1, "move %d of game %d places one dot: %s" % (move, game, new))
            expected = marked(rows, *new[0])
            e2e.wait_until(lambda: view.board_seen() == expected,
                           "game %d at move %d" % (game, move))
            before = rows
        view.press("Right")
        e2e.check(view.board_seen() == expected, "game %d steps past its end" % game)
        return before


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


def case_other_program(args):
    first = step_every_move(args, args.other, 0, 9)
    e2e.check(sum(row.count("o") for row in first) == 1, "the outline's capture is seen")
    second = step_every_move(args, args.other, 1, 14)
    e2e.check(all(any(row.count(dot) for row in second) for dot in "xo"), "both sides take")
    other_board = subprocess.run([args.board, "show", args.other, "--game", "2"],
                                 capture_output=True, text=True, timeout=60)
    e2e.check(other_board.returncode != 0 and "SZ[70]" in other_board.stderr,
              "the third tree's board is named: %r" % other_board.stderr)


def case_match_sgf(args):
    """Two games from the file's second tree as an opening, dotbot against an engine whose
    first move is refused: game 0 is the opening, one move of dotbot's and the refusal."""
    sgf, results = (os.path.join(args.work, "match-sgf." + end) for end in ("sgf", "jsonl"))
    for earlier in (sgf, results):  # a results file left by an earlier run would resume
        if os.path.exists(earlier):
            os.remove(earlier)
    match = subprocess.Popen(
        [args.match, "--engine", "name=bot", "cmd=" + args.dotbot, "--engine", "name=chaos",
         "cmd=" + args.chaos, "arg=illegal", "--games", "2", "--concurrency", "1",
         "--opening", "sgf:%s:12" % args.other, "--sgf", sgf,
         "--results", results],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        e2e.check(match.wait(4 * e2e.PATIENCE) == 0, "fendrel-match failed")
    finally:
        if match.poll() is None:
            match.kill()
            match.wait()
    with open(sgf, encoding="utf-8") as games:
        trees = games.read().split("\n(;")
    game_0 = [i for i, tree in enumerate(trees) if "GN[game 0]" in tree]
    e2e.check(len(trees) == 2 and len(game_0) == 1, "the two games of the match: %r" % trees)
    step_every_move(args, sgf, game_0[0], 13)


def case_standard_game(args):
    """Opened at its start, the game goes to its end with End: the grounding side's start
    dots, cut off from the edge, are captured there and not a move before (Left)."""
    path = args.standard
    with ViewSession(args, "standard", [path, "--move", "0"]) as view:
        view.window = view.find_window("Fendrel view")
        start = shown_board(args, path, 0, 0, *STANDARD_SIZE)
        e2e.wait_until(lambda: view.board_seen(*STANDARD_SIZE) == start, "the start cross")
        positions = {}
        for key, move in (("End", STANDARD_MOVES), ("Left", STANDARD_MOVES - 1)):
            view.press(key)
            positions[move] = marked(shown_board(args, path, 0, move, *STANDARD_SIZE),
                                     *STANDARD_LAST_DOT)
            e2e.wait_until(lambda: view.board_seen(*STANDARD_SIZE) == positions[move],
                           "the board at move %d" % move)
    end, before = positions[STANDARD_MOVES], positions[STANDARD_MOVES - 1]
    e2e.check(end[7][10] == "o" and end[8][9] == "o" and before[7][10] == "O",
              "grounding captures the start dots: %r" % end)
    e2e.check(end[4][4] == "o", "the dot into the empty ring is captured: %r" % end)


def case_unreadable(args):
    with ViewSession(args, "unreadable", [os.path.join(args.work, "missing.jsonl")]) as view:
        box = view.find_window("fendrel-view")
        view.close(box)
        code = view.exit_code()
        message = e2e.read_file(view.path("view.stderr"))
        e2e.check(code == 1, "exit code %s" % code)
        e2e.check(b"cannot read" in message, "the message: %r" % message)


# The title of a window that follows a match: the game and move it shows, how that game
# stands, and whether the view follows the match.
FOLLOW_TITLE = re.compile(r"^Fendrel view: game (\d+) at move (\d+), (being played|finished)"
                          r"(, following)?$")


def shown(view):
    """What the title says the window shows, or None."""
    return FOLLOW_TITLE.match(view.title())


def steady_board(view):
    """The board once two screenshots in a row agree: the window has painted what it shows."""
    shots = [view.board_seen()]
    return e2e.wait_until(lambda: shots.append(view.board_seen()) or
                          (shots[-1] == shots[-2] and shots[-1]), "the board to be painted")


def case_follow(args):
    """A round robin of two random engines and a greedy one, two games at a time, followed
    from before its results file exists to its end."""
    engines = [("random-a", args.random), ("random-b", args.random), ("greedy", args.greedy)]
    with ViewSession(args, "follow", ["--follow", "tournament.jsonl"], "1920x1200") as view:
        view.window = view.find_window("Fendrel view: no game yet")
        words = [args.match, "--rounds", "4", "--concurrency", "2",
                 "--results", "tournament.jsonl"]
        for name, program in engines:
            words += ["--engine", "name=" + name, "cmd=" + os.path.abspath(program)]
        match = subprocess.Popen(words, cwd=view.folder, stdout=subprocess.DEVNULL,
                                 stderr=open(view.path("match.stderr"), "wb"))
        view.own(match.pid)
        moments = []
        for _ in range(3):
            e2e.wait_until(lambda: (m := shown(view)) and m.group(3) == "being played" and
                           m.group(4), "the view to follow a game being played")
            view.press("Left")
            title = e2e.wait_until(lambda: (m := shown(view)) and not m.group(4) and m,
                                   "the view to stop following")
            board = steady_board(view)
            # The game may end meanwhile; the view stays at its game and move.
            after = shown(view)
            e2e.check(after and after.group(1, 2) == title.group(1, 2),
                      "the view moved from %r to %r" % (title.group(0), view.title()))
            moments.append((int(title.group(1)), int(title.group(2)), board))
            view.press("f")
        e2e.check(match.wait(20 * e2e.PATIENCE) == 0,
                  "fendrel-match failed: %r" % e2e.read_file(view.path("match.stderr")))
        results = view.path("tournament.jsonl")
        games = list(results_lines(results))
        e2e.check(len(games) == 24, "%d games in the results" % len(games))
        last = games[-1]
        end = "Fendrel view: game %d at move %d, finished, following" % (last["game"],
                                                                          len(last["dots"]))
        e2e.wait_until(lambda: view.title() == end, end)
        moments.append((last["game"], len(last["dots"]), steady_board(view)))
    e2e.check(len({game for game, _, _ in moments}) >= 2, "the moments were of one game")
    for game, move, board in moments:
        expected = replayed_board(args, move, results, game)
        if board != expected:
            raise e2e.Failure("game %d at move %d: the window showed\n%s\nexpected\n%s" % (
                game, move, "\n".join(board), "\n".join(expected)))


CASES = {"steps": case_steps, "other_program": case_other_program, "match_sgf": case_match_sgf,
         "standard_game": case_standard_game, "unreadable": case_unreadable,
         "follow": case_follow}


if __name__ == "__main__":
    sys.exit(e2e.run_case(CASES, ("--view", "--board", "--results", "--other", "--standard",
                                  "--match", "--dotbot", "--chaos", "--random", "--greedy",
                                  "--work")))
