#!/usr/bin/python3
"""The layers link only downward: no source file includes a header of a layer above its own.

Usage: check_layers.py SOURCE_DIR

Each folder below may include its own headers and those of the folders listed for it; a
folder not listed is not checked. docs/architecture.md draws the same picture.
"""

import os
import re
import sys

BELOW = {
    "rules": [],
    "os": [],
    "engine": ["os"],
    "referee": ["engine", "rules", "os"],
    "referee/windowless": ["referee", "engine", "rules", "os"],
    "ui": ["referee", "engine", "rules", "os"],
    "ui/win32": ["ui", "referee", "engine", "rules", "os"],
    "ui/qt": ["ui", "referee", "engine", "rules", "os"],
    "engines/dotbot": ["rules", "os"],
    "bridge": ["engine", "rules", "os"],
    "records": ["referee/windowless/judge.h", "rules", "os"],
    "review": ["records", "ui", "rules", "engine", "os"],
    "match/stats": ["records"],
    "view": ["review", "records", "rules", "os"],
    "view/qt": ["view", "review", "ui/qt/board_png.h", "ui/qt/engine_text.h", "os"],
    "view/board": ["review", "ui/qt/board_png.h"],
    "match/runner": ["records", "match/stats", "referee", "engine", "rules", "os"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    """The most specific listed folder that holds the file."""
    folder = os.path.dirname(path)
    while folder and folder not in BELOW:
        folder = os.path.dirname(folder)
    return folder or None


def allowed(layer, header):
    if layer_of(header) == layer:
        return True
    return any(header == below or header.startswith(below + "/") for below in BELOW[layer])


def main():
    source = sys.argv[1]
    wrong = []
    for layer in BELOW:
        for folder, _, files in os.walk(os.path.join(source, layer)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(folder, name), source)
                if layer_of(path) != layer:
                    continue
                with open(os.path.join(source, path), encoding="utf-8") as f:
                    text = f.read()
                for header in INCLUDE.findall(text):
                    # A header of the file's own folder, named without its path.
                    if "/" not in header:
                        continue
                    if not allowed(layer, header):
                        wrong.append("%s includes %s, above its layer %s" % (path, header, layer))
    for line in wrong:
        print(line)
    print("%d includes against the layers" % len(wrong))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
