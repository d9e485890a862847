#!/usr/bin/env python3
"""The soak: fendrel-match plays every mode of the chaos engine against dotbot and against
itself, a match of GAMES games at concurrency 2 for each pairing, and checks that

  - every match ends (within a guard of GUARD seconds each) with exit code 0;
  - no game is missing from its results file, and each game was played once;
  - every game's log holds every byte each chaos engine wrote, in order: the engines keep
    their own copy of what they sent (chaos_engine.PID.output, with --per-process), and
    their name lines ("Chaos MODE PID") tell whose copy goes with which game;
  - nothing the match started is left running.

usage: soak.py BUILD_DIR WORK_DIR [--games N] [--modes MODE,...]

It prints one line per pairing and the totals; exit code 1 when anything failed.
"""

import argparse
import json
import mmap
import os
import re
import shutil
import signal
import subprocess
import sys
import time

MODES = ["garbage", "line-4095", "huge", "endless", "nul", "crlf", "split", "stderr",
         "empty-writes", "exit-now", "exit-mid-game", "deaf", "handles", "stall", "illegal",
         "out-of-turn", "legal", "half-mover", "refuse-storm", "deaf-mover", "spawns-child"]

# Short clocks, so that engines that never move lose soon; dotbot thinks a millisecond.
CLOCK = ["--increment", "300", "--time-margin", "200", "--stall-timeout", "5"]
DOTBOT_ARGS = ["arg=--movetime", "arg=1"]
GUARD = 600


class Failure(Exception):
    pass


def is_subsequence(record, log):
    """Whether record's bytes all appear in log in their order (greedy, in runs)."""
    i = p = 0
    while i < len(record):
        p = log.find(record[i:i + 1], p)
        if p < 0:
            return False
        # The longest run that matches from here, found in doubling steps (up to 1 MiB, so
        # that the slices compared stay small).
        step = 1
        while step and i < len(record):
            if log[p:p + step] == record[i:i + step] and p + step <= len(log):
                p += step
                i += step
                step = min(2 * step, 1 << 20)
            else:
                step //= 2
    return True


def processes_holding(text):
    """Process ids of live processes (not zombies) whose command line holds text."""
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read()
            with open("/proc/%s/stat" % entry) as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if text.encode() in command and state != "Z" and int(entry) != os.getpid():
            found.append(int(entry))
    return found


def play(build, folder, mode, opponent, games):
    """Plays one pairing in its own folder; the records of its games."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    chaos = os.path.join(folder, "chaos_engine")
    shutil.copy(os.path.join(build, "chaos_engine"), chaos)
    chaos_words = ["cmd=" + chaos, "arg=" + mode, "arg=--per-process"]
    engines = ["--engine", "name=chaos"] + chaos_words
    if opponent == "dotbot":
        engines += ["--engine", "name=dotbot", "cmd=" + os.path.join(build, "dotbot")] + DOTBOT_ARGS
    else:
        engines += ["--engine", "name=chaos-b"] + chaos_words
    command = [os.path.join(build, "fendrel-match")] + engines + CLOCK + [
        "--games", str(games), "--concurrency", "2", "--results", "r.jsonl", "--logs", "logs"]
    with open(os.path.join(folder, "out.txt"), "wb") as out, \
            open(os.path.join(folder, "err.txt"), "wb") as err:
        match = subprocess.Popen(command, cwd=folder, stdout=out, stderr=err,
                                 start_new_session=True)
        try:
            code = match.wait(GUARD)
        except subprocess.TimeoutExpired:
            os.killpg(match.pid, signal.SIGKILL)
            match.wait()
            raise Failure("the match hung")
    if code != 0:
        raise Failure("exit code %d: %s" % (code, open(os.path.join(folder, "err.txt")).read()))
    records = [json.loads(line) for line in open(os.path.join(folder, "r.jsonl"))
               if line.strip()]
    played = sorted(record["game"] for record in records)
    if played != list(range(games)):
        raise Failure("games in the results: %r" % played)
    check_logs(folder, records)
    left = processes_holding(folder)
    if left:
        for pid in left:
            os.kill(pid, signal.SIGKILL)
        raise Failure("left running: %r" % left)
    return records


def mapped(path):
    """A file's bytes, mapped rather than read: an engine that floods writes hundreds of MB."""
    with open(path, "rb") as f:
        if os.fstat(f.fileno()).st_size == 0:
            return b""
        return mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)


def check_logs(folder, records):
    """Every chaos engine's copy of what it wrote is in its game's log, and every copy
    belongs to a game."""
    copies = {}
    for name in os.listdir(folder):
        found = re.fullmatch(r"chaos_engine\.(\d+)\.output", name)
        if found:
            copies[found.group(1)] = mapped(os.path.join(folder, name))
    claimed = set()
    logs = {record["game"]: mapped(os.path.join(folder, "logs", "game-%d" % record["game"],
                                                "log.txt"))
            for record in records}
    for record in records:
        log = logs[record["game"]]
        pids = re.findall(rb"Chaos \S+ (\d+)\r?\n", log)
        sent = 0
        for pid in (p.decode() for p in pids):
            if pid not in copies:
                raise Failure("game %d: no copy of engine %s's output" % (record["game"], pid))
            if not is_subsequence(copies[pid], log):
                raise Failure("game %d: the log lacks bytes engine %s wrote" % (
                    record["game"], pid))
            claimed.add(pid)
            sent += len(copies[pid])
        if len(log) < sent:
            raise Failure("game %d: the log is shorter than what its engines wrote" %
                          record["game"])
    # A name line written a byte at a time may be broken up by the other engine's bytes:
    # such a copy is looked for in every log.
    unclaimed = {pid for pid in set(copies) - claimed
                 if not any(is_subsequence(copies[pid], log) for log in logs.values())}
    if unclaimed:
        raise Failure("output of engines %r is in no game's log" % sorted(unclaimed))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("work")
    parser.add_argument("--games", type=int, default=12)
    parser.add_argument("--modes", default=",".join(MODES))
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    # Copies of the programs, so that a build while the soak runs changes nothing under it.
    build = os.path.join(work, "programs")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(build)
    for program in ("fendrel-match", "dotbot", "chaos_engine"):
        shutil.copy2(os.path.join(args.build, program), build)
    started = time.monotonic()
    games = failures = 0
    for mode in args.modes.split(","):
        for opponent in ("dotbot", "itself"):
            folder = os.path.join(work, "%s-vs-%s" % (mode, opponent))
            begun = time.monotonic()
            try:
                records = play(build, folder, mode, opponent, args.games)
            except Failure as failure:
                failures += 1
                print("FAILED %-14s vs %-7s %s" % (mode, opponent, failure), flush=True)
                continue
            reasons = sorted({record["reason"] for record in records})
            games += len(records)
            print("%-14s vs %-7s %3d games %6.1f s  %s" % (
                mode, opponent, len(records), time.monotonic() - begun, ", ".join(reasons)),
                flush=True)
            shutil.rmtree(folder)
    print("soak: %d games, %d pairings failed, %.0f s" % (
        games, failures, time.monotonic() - started))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
