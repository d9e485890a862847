// Where the engines' programs and directories are. Engines start in directories of their
// own, not in the match runner's, so relative paths are anchored first.
#pragma once

#include "match/runner/options.h"

#include <string>

// The absolute path of the current directory.
std::string current_directory();

// A path as seen from `base` when it is relative; "" stays "".
std::string absolute_path(const std::string& path, const std::string& base);

// Makes every engine's program (when it names a path) and directory absolute from `base`;
// an engine without a directory gets `base`. A bare program name is left for PATH.
void anchor_engines(MatchOptions& options, const std::string& base);

// Checks, before a match starts, that each engine's program can be run and its directory
// exists; false with a reason otherwise, so that a mistyped path does not turn into a
// match of forfeits.
bool engines_can_start(const MatchOptions& options, std::string& error);
