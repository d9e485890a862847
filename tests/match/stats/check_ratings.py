#!/usr/bin/env python3
"""An independent check of fendrel-match's rating list.

Runs `fendrel-match merge FILE --ratings-json ...` on a results file, with and without an
anchor, and compares the JSON with what this script finds by other means from the same
lines: the maximum-likelihood ratings by the minorization-maximization iteration of the
Bradley-Terry model (Hunter, 2004), the intervals from a numerical second derivative of the
log-likelihood, and each engine's and each pairing's counts. The field must be one in which
every engine has a finite rating.

usage: check_ratings.py FENDREL_MATCH RESULTS_FILE
"""

import json
import math
import os
import subprocess
import sys
import tempfile

Z_95 = 1.959963984540054
ELO_PER_UNIT = 400 / math.log(10)


def read_games(path):
    """The distinct games of the file, the first line of each game number, without games of
    an engine against itself."""
    games = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.strip():
                record = json.loads(line)
                games.setdefault(record["game"], record)
    return [games[number] for number in sorted(games) if games[number]["side1"] != games[number]["side2"]]


def points_of(record, side):
    return 0.5 if record["winner"] == 0 else 1.0 if record["winner"] == side else 0.0


def minorization_maximization(names, games):
    """Strengths whose log is the Elo over ELO_PER_UNIT: each step sets an engine's strength
    to its points over the sum, for each of its games, of 1 / (its strength + the
    opponent's)."""
    strength = {name: 1.0 for name in names}
    points = {name: 0.0 for name in names}
    for record in games:
        points[record["side1"]] += points_of(record, 1)
        points[record["side2"]] += points_of(record, 2)
    for _ in range(100000):
        largest = 0.0
        for name in names:
            denominator = 0.0
            for record in games:
                if name in (record["side1"], record["side2"]):
                    other = record["side2"] if record["side1"] == name else record["side1"]
                    denominator += 1 / (strength[name] + strength[other])
            updated = points[name] / denominator
            largest = max(largest, abs(math.log(updated / strength[name])))
            strength[name] = updated
        mean_log = sum(math.log(s) for s in strength.values()) / len(names)
        strength = {name: s / math.exp(mean_log) for name, s in strength.items()}
        if largest < 1e-13:
            break
    return {name: ELO_PER_UNIT * math.log(s) for name, s in strength.items()}


def log_likelihood(theta, games):
    total = 0.0
    for record in games:
        difference = theta[record["side1"]] - theta[record["side2"]]
        p = 1 / (1 + math.exp(-difference))
        s = points_of(record, 1)
        total += s * math.log(p) + (1 - s) * math.log(1 - p)
    return total


def inverse(matrix):
    """Gauss-Jordan elimination with partial pivoting."""
    n = len(matrix)
    a = [row[:] + [1.0 if i == j else 0.0 for j in range(n)] for i, row in enumerate(matrix)]
    for column in range(n):
        pivot = max(range(column, n), key=lambda r: abs(a[r][column]))
        a[column], a[pivot] = a[pivot], a[column]
        scale = a[column][column]
        a[column] = [x / scale for x in a[column]]
        for row in range(n):
            if row != column:
                factor = a[row][column]
                a[row] = [x - factor * y for x, y in zip(a[row], a[column])]
    return [row[n:] for row in a]


def margins(names, elo, games, anchor):
    """Each engine's 95% half-width: the covariance is the inverse of minus the numerical
    Hessian of the log-likelihood with the first engine held, then moved to the scale (the
    mean, or the anchor, held)."""
    theta = {name: elo[name] / ELO_PER_UNIT for name in names}
    free = names[1:]
    h = 1e-4

    def at(shifts):
        moved = dict(theta)
        for name, step in shifts:
            moved[name] += step
        return log_likelihood(moved, games)

    hessian = [[(at([(a, h), (b, h)]) - at([(a, h), (b, -h)]) - at([(a, -h), (b, h)])
                 + at([(a, -h), (b, -h)])) / (4 * h * h) for b in free] for a in free]
    reduced = inverse([[-x for x in row] for row in hessian])
    n = len(names)
    covariance = [[0.0] * n for _ in range(n)]
    for i in range(1, n):
        for j in range(1, n):
            covariance[i][j] = reduced[i - 1][j - 1]
    weights = [1.0 / n] * n if anchor is None else [1.0 if name == anchor else 0.0 for name in names]
    with_weights = [sum(covariance[i][j] * weights[j] for j in range(n)) for i in range(n)]
    weighted = sum(weights[i] * with_weights[i] for i in range(n))
    return {name: Z_95 * ELO_PER_UNIT * math.sqrt(max(covariance[i][i] - 2 * with_weights[i] + weighted, 0))
            for i, name in enumerate(names)}


def pentanomial(records, engine):
    pairs = {}
    for record in records:
        side = 1 if record["side1"] == engine else 2
        pair = pairs.setdefault(record["game"] // 2, [])
        pair.append(points_of(record, side))
    counts = [0] * 5
    for pair in pairs.values():
        if len(pair) == 2:
            counts[round(2 * sum(pair))] += 1
    return counts


def run_merge(program, results, extra):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "ratings.json")
        run = subprocess.run([program, "merge", results, "--ratings-json", path] + extra,
                             capture_output=True, timeout=60)
        if run.returncode != 0:
            raise SystemExit("merge failed: " + run.stderr.decode(errors="replace"))
        with open(path, encoding="utf-8") as file:
            return json.load(file)


def check(program, results, anchor):
    games = read_games(results)
    names = sorted({record["side1"] for record in games} | {record["side2"] for record in games})
    elo = minorization_maximization(names, games)
    extra = []
    if anchor is not None:
        shift = anchor[1] - elo[anchor[0]]
        elo = {name: value + shift for name, value in elo.items()}
        extra = ["--anchor", "%s=%r" % anchor]
    margin = margins(names, elo, games, None if anchor is None else anchor[0])
    listed = run_merge(program, results, extra)
    failures = []

    def expect(what, got, wanted, tolerance=0.0):
        if not (abs(got - wanted) <= tolerance if tolerance else got == wanted):
            failures.append("%s: %r, expected %r" % (what, got, wanted))

    expect("games", listed["games"], len(games))
    expect("engines", sorted(engine["name"] for engine in listed["engines"]), names)
    for engine in listed["engines"]:
        name = engine["name"]
        mine = [record for record in games if name in (record["side1"], record["side2"])]
        points = sum(points_of(record, 1 if record["side1"] == name else 2) for record in mine)
        expect(name + " status", engine["status"], "rated")
        expect(name + " games", engine["games"], len(mine))
        expect(name + " points", engine["points"], points)
        expect(name + " Elo", engine["elo"], elo[name], 1e-6)
        expect(name + " interval low", engine["low"], elo[name] - margin[name], 1e-3)
        expect(name + " interval high", engine["high"], elo[name] + margin[name], 1e-3)
    ranked = [engine["name"] for engine in listed["engines"]]
    expect("order", ranked, sorted(names, key=lambda name: -elo[name]))
    expected_pairings = sum(1 for i, a in enumerate(names) for b in names[i + 1:]
                            if any({a, b} == {r["side1"], r["side2"]} for r in games))
    expect("pairings", len(listed["pairings"]), expected_pairings)
    for pairing in listed["pairings"]:
        engine, opponent = pairing["engine"], pairing["opponent"]
        expect("%s listed before %s" % (engine, opponent), ranked.index(engine) < ranked.index(opponent), True)
        between = [r for r in games if {r["side1"], r["side2"]} == {engine, opponent}]
        scores = [points_of(r, 1 if r["side1"] == engine else 2) for r in between]
        label = engine + " vs " + opponent
        expect(label + " wins", pairing["wins"], scores.count(1.0))
        expect(label + " draws", pairing["draws"], scores.count(0.5))
        expect(label + " losses", pairing["losses"], scores.count(0.0))
        expect(label + " pentanomial", pairing["pentanomial"], pentanomial(between, engine))
    return failures


def main():
    program, results = sys.argv[1], sys.argv[2]
    games = read_games(results)
    first = sorted({record["side1"] for record in games})[0]
    failures = check(program, results, None) + check(program, results, (first, 1500.0))
    for failure in failures:
        print(failure)
    if failures:
        return 1
    print("the rating list agrees with an independent fit of %d games" % len(games))
    return 0


if __name__ == "__main__":
    sys.exit(main())
