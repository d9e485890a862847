// The games of a seeded round robin for the benchmarks of ratings and of their plot.
#pragma once

#include "records/game_record.h"

#include <vector>

// 10 engines, 100 games a pairing in pairs of openings (4500 games), drawn once, seeded,
// from engines 40 Elo apart, with some draws; each game of `dots` dots.
std::vector<GameRecord> round_robin(int dots = 0);
