"""The board read off a screenshot, grid point by grid point, and compared with a diagram.

A diagram has one line per row and one letter per column:
    .  empty                 +  empty inside an enclosure
    X  side 1                x  side 1, captured
    O  side 2                o  side 2, captured
and a line "latest X Y" naming the latest dot, which carries the white mark. Lines that
start with "#" are comments.

Each grid point (20 + 20x, 20 + 20y) is read at two pixels, both off the grid lines: the
centre, one pixel right of and below it (inside the mark of a latest dot), and the ring,
4 pixels right of and below it (inside the dot, outside the mark). Both lie well inside the
cell's own enclosure disc and well outside every neighbour's.
"""

BACKGROUND = (192, 192, 192)
ENCLOSURE = (128, 128, 128)
MARK = (255, 255, 255)
SIDE1 = (255, 50, 50)
SIDE1_ENCLOSED = (127, 50, 50)
SIDE2 = (50, 50, 255)
SIDE2_ENCLOSED = (50, 50, 127)

LETTER_COLOURS = {
    ".": BACKGROUND,
    "+": ENCLOSURE,
    "X": SIDE1,
    "x": SIDE1_ENCLOSED,
    "O": SIDE2,
    "o": SIDE2_ENCLOSED,
}

COLUMNS = 39
ROWS = 32


def read_diagram(path):
    """The rows of a diagram file and its latest dot, (x, y) or None."""
    rows = []
    latest = None
    with open(path, encoding="ascii") as diagram:
        for line in diagram:
            line = line.rstrip("\n")
            if line.startswith("#") or not line:
                continue
            if line.startswith("latest "):
                x, y = line.split()[1:]
                latest = (int(x), int(y))
                continue
            rows.append(line)
    if len(rows) != ROWS or any(len(row) != COLUMNS for row in rows):
        raise ValueError("%s: a diagram has %d rows of %d letters" % (path, ROWS, COLUMNS))
    return rows, latest


def empty_diagram():
    """The rows of an empty board."""
    return ["." * COLUMNS] * ROWS


def mismatches(screenshot, origin, rows, latest):
    """Every grid point whose pixels differ from the diagram, as text; empty when all match."""
    ox, oy = origin
    found = []
    for y, row in enumerate(rows):
        for x, letter in enumerate(row):
            colour = LETTER_COLOURS[letter]
            centre_expected = MARK if (x, y) == latest else colour
            gx, gy = ox + 20 + 20 * x, oy + 20 + 20 * y
            centre = screenshot.rgb(gx + 1, gy + 1)
            ring = screenshot.rgb(gx + 4, gy + 4)
            if centre != centre_expected or ring != colour:
                found.append("(%d, %d) '%s': centre %s ring %s" % (x, y, letter, centre, ring))
    return found
