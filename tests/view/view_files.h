// Files for fendrel-view's tests, written into a fresh folder: an SGF collection and a
// results file whose games reach every edge the viewer has.
#pragma once

#include <string>

// Four game trees: 0 has 3 moves, 1 has 23, 2 is played on another board, and 3 stops at
// its move 8, a dot inside an enclosure, so it replays to move 7.
std::string write_sgf_file(const std::string& folder);

// Games 4, 7 and 9 of six dots each, two of them the opening. Game 4 was played with an
// increment of one second; the clocks of game 7 do not add up; game 9 is game 4 with the
// end clock of side 1 a millisecond off, as the rounding of move times leaves it.
std::string write_results_file(const std::string& folder);

// A folder of its own for one test, made empty and removed with what it holds at the end.
struct ScratchFolder {
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path;
};
