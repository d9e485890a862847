// The worker's side of a match: `fendrel-match play-one --game N ...` plays game N and
// prints its results line, so that games can be run by the scheduler or spread over
// machines by any batch runner.
#pragma once

#include "match/runner/options.h"

#include <string>
#include <sys/types.h>

// The folder where a worker keeps the engines' log when --logs is not given: named after
// its process id, so that the scheduler can remove it also after killing the worker.
std::string scratch_directory(pid_t worker);

// Plays options.game and prints its results line on standard output; the exit code.
int play_one(MatchOptions options);
