// The ring scan that starts every capture search: around a new dot, the maximal runs of
// neighbours that are not the mover's, in ring directions 0 to 7 clockwise. A region can
// only have been closed off where two such runs are parted by the mover's dots, so fewer
// than two runs means nothing to search. Header-only, so that every board that searches
// for enclosures (the rules core, dotbot's own) inlines it.
#pragma once

struct Gap {
    int first; // ring direction where the run of non-own neighbours starts
    int last;  // ring direction where it ends, clockwise from first
};

// Fills gaps with the runs, clockwise from the first own neighbour, and returns how many
// there are (at most four; none when no neighbour is own). own(k) tells whether the
// neighbour in direction k holds a dot of the mover.
template <class Own> int find_ring_gaps(Own own, Gap (&gaps)[4]) {
    int i = 0;
    while (i < 8 && !own(i))
        ++i;
    if (i == 8)
        return 0;
    int gap_count = 0;
    int d = i;
    for (int k = i + 1; k <= 7; ++k) {
        if (!own(k))
            continue;
        if (k > d + 1)
            gaps[gap_count++] = {d + 1, k - 1};
        d = k;
    }
    if (!(i == 0 && d == 7))
        gaps[gap_count++] = {(d + 1) & 7, (i + 7) & 7};
    return gap_count;
}
