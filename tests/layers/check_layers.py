#!/usr/bin/python3
"""The layers link only downward: no source file includes a header of a layer above its own.

Usage: check_layers.py SOURCE_DIR

Each folder below may include its own headers and those of the neighbours listed for it
(a folder, or one header of a folder); every neighbour listed must be included somewhere
in the folder, so that the table stays exact. A test of a layer includes that layer, what
lies below it, tests/support and the helpers of its own folder and of the test folders
above it. Win32 headers are for the platform layer and the Windows window alone, Qt for
the Linux window and the programs. docs/architecture.md draws the same picture.
"""

import os
import re
import sys

BELOW = {
    "rules": [],
    "os": [],
    "engine": ["os"],
    "referee": ["engine", "rules"],
    "referee/windowless": ["records/loss_reasons.h", "referee", "engine"],
    "ui": ["referee", "engine", "rules"],
    "ui/win32": ["ui", "referee"],
    "ui/qt": ["ui", "referee", "rules", "os"],
    "engines/dotbot": ["rules", "os"],
    "bridge": ["engine", "rules", "os"],
    "records": ["rules", "os"],
    "review": ["records", "engine", "rules", "os"],
    "match/stats": ["records"],
    "match/runner": ["records", "match/stats", "referee", "referee/windowless", "engine",
                     "rules", "os"],
    "view": ["review", "records", "rules"],
    "view/qt": ["view", "ui/qt/board_png.h", "ui/qt/engine_text.h"],
    "view/board": ["review", "ui/qt/board_png.h"],
}

# The layer each folder of tests tests; support and the test engines stand below every test.
TESTS = {
    "tests/rules": "rules",
    "tests/engine": "engine",
    "tests/referee": "referee",
    "tests/referee/windowless": "referee/windowless",
    "tests/ui": "ui",
    "tests/ui/qt": "ui/qt",
    "tests/ui/win32": "ui/win32",
    "tests/e2e/win32": "ui/win32",
    "tests/bridge": "bridge",
    "tests/dotbot": "engines/dotbot",
    "tests/records": "records",
    "tests/review": "review",
    "tests/match/stats": "match/stats",
    "tests/match/runner": "match/runner",
    "tests/view": "view",
    "tests/view/qt": "view/qt",
    "tests/view/board": "view/board",
}

# Test folders that test no one layer: what each may include.
TEST_HELPERS = {
    "tests/support": ["records", "referee", "engine", "rules", "os"],
    "tests/test_engines": ["engines/dotbot", "engine", "rules", "os"],
    "tests/fuzz": ["review", "records", "bridge", "engine", "rules", "os"],
}

# What a test reaches above its layer, and why.
TEST_EXTRA = {
    # The reader thread reports each line to the engine events, which the referee defines:
    # the engine's tests run it against the referee's own, with the recording window, and
    # look at the game's board that its moves change.
    "tests/engine": ["referee/clock.h", "referee/game_board.h", "referee/game_start.h",
                     "referee/move.h", "referee/window.h"],
    # Clicks reach the referee's move handling through the click.
    "tests/referee": ["ui/click.h"],
}

# Where the platform's headers may be included: the folders and everything below them.
WIN32_FOLDERS = ["os", "ui/win32", "tests/ui/win32", "tests/e2e/win32", "bench/win32"]
QT_FOLDERS = ["ui/qt", "view/qt", "view/board", "tests/ui/qt", "tests/view/qt",
              "tests/view/board", "bench"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>", re.M)
WIN32_HEADER = re.compile(
    r"^(windows|windowsx|winbase|winuser|wingdi|winnt|winerror|commctrl|commdlg|shellapi|"
    r"shlobj|objbase|tlhelp32|psapi|processthreadsapi|synchapi|handleapi|fileapi|"
    r"mmsystem|winsock2|ws2tcpip)\.h$", re.I)
QT_HEADER = re.compile(r"^Q[A-Za-z]*(/|$)")


def layer_of(path, table):
    """The most specific folder of the table that holds the file."""
    folder = os.path.dirname(path)
    while folder and folder not in table:
        folder = os.path.dirname(folder)
    return folder or None


def under(path, folders):
    return any(path == f or path.startswith(f + "/") for f in folders)


def neighbour_of(entries, header):
    """The entry that lets a header in: the header itself, or the folder of its layer."""
    if header in entries:
        return header
    layer = layer_of(header, BELOW)
    return layer if layer in entries else None


def below(entries):
    """Everything the entries stand on: each entry and, recursively, its layer's neighbours."""
    reached = set()
    for entry in entries:
        reached.add(entry)
        layer = entry if entry in BELOW else layer_of(entry, BELOW)
        reached |= below(BELOW[layer])
    return reached


def source_files(source, folder):
    for root, _, files in os.walk(os.path.join(source, folder)):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(root, name), source)


def bare_header_found(source, path, header, search):
    """A header named without its path is one of the folders searched, or generated."""
    if header.endswith(".moc"):
        return True
    return any(os.path.isfile(os.path.join(source, folder, header)) for folder in search)


def check_platform(path, text, wrong):
    for header in SYSTEM_INCLUDE.findall(text):
        if WIN32_HEADER.match(header) and not under(path, WIN32_FOLDERS):
            wrong.append("%s includes the Win32 header %s" % (path, header))
        if QT_HEADER.match(header) and not under(path, QT_FOLDERS):
            wrong.append("%s includes the Qt header %s" % (path, header))


def check_sources(source, wrong):
    for layer, entries in BELOW.items():
        used = set()
        for path in source_files(source, layer):
            if layer_of(path, BELOW) != layer:
                continue
            with open(os.path.join(source, path), encoding="utf-8") as f:
                text = f.read()
            check_platform(path, text, wrong)
            for header in INCLUDE.findall(text):
                if "/" not in header:
                    if not bare_header_found(source, path, header, [os.path.dirname(path)]):
                        wrong.append("%s includes %s from another folder" % (path, header))
                    continue
                if layer_of(header, BELOW) == layer:
                    continue
                entry = neighbour_of(entries, header)
                if entry:
                    used.add(entry)
                else:
                    wrong.append("%s includes %s, above its layer %s" % (path, header, layer))
        for entry in entries:
            if entry not in used:
                wrong.append("%s lists %s, which none of its files includes" % (layer, entry))


def test_folders(folder):
    """The folder and the test folders above it, up to tests/ (not included)."""
    folders = []
    while folder and folder != "tests":
        folders.append(folder)
        folder = os.path.dirname(folder)
    return folders


def check_tests(source, wrong):
    table = dict(TESTS)
    table.update(TEST_HELPERS)
    table["tests/layers"] = None
    for path in source_files(source, "tests"):
        folder = layer_of(path, table)
        if folder is None:
            wrong.append("%s is in a test folder that tests no layer" % path)
            continue
        if folder == "tests/layers":
            continue
        with open(os.path.join(source, path), encoding="utf-8") as f:
            text = f.read()
        check_platform(path, text, wrong)
        if folder in TESTS:
            allowed = below([TESTS[folder]] + TEST_EXTRA.get(folder, []))
        else:
            allowed = below(TEST_HELPERS[folder])
        search = test_folders(os.path.dirname(path)) + ["tests/support"]
        for header in INCLUDE.findall(text):
            if "/" not in header:
                if not bare_header_found(source, path, header, search):
                    wrong.append("%s includes %s from another test folder" % (path, header))
                continue
            if header not in allowed and neighbour_of(allowed, header) is None:
                wrong.append("%s includes %s, above what it tests" % (path, header))


def main():
    source = sys.argv[1]
    wrong = []
    check_sources(source, wrong)
    check_tests(source, wrong)
    for line in wrong:
        print(line)
    print("%d includes against the layers" % len(wrong))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
