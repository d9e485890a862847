// A whole match: games run in worker processes (this program's play-one), `concurrency` at
// a time, each worker in a process group of its own so that nothing it started can outlive
// it. Finished games go to the results and SGF files as they come in, a terminal shows a
// live progress line, and the summary is printed at the end.
#pragma once

#include "match/runner/options.h"

#include <string>
#include <vector>

// Runs the match; `args` are the options as given, which every worker receives again with
// its game's number, and `self` is this program. Returns the exit code: 0 when the match
// ran to its end (or an SPRT bound), 130 when Ctrl-C stopped it, 2 on an error.
int run_match(const MatchOptions& options, const std::vector<std::string>& args,
              const std::string& self);
