// Where the engines' programs and directories are. Engines start in directories of their
// own, not in the match runner's, so relative paths are anchored first.
#pragma once

#include "match/runner/options.h"

#include <string>
#include <vector>

// The absolute path of the current directory.
std::string current_directory();

// A path as seen from `base` when it is relative; "" stays "".
std::string absolute_path(const std::string& path, const std::string& base);

// Makes every engine's program (when it names a path) and directory absolute from `base`;
// an engine without a directory gets `base`. A bare program name is left for PATH.
void anchor_engines(MatchOptions& options, const std::string& base);

// The program that plays an engine of another protocol: fendrel-bridge beside this
// program.
std::string bridge_program();

// The program, arguments and environment changes that start an engine: its own, or for
// another protocol fendrel-bridge with "--env NAME=VALUE" for each of the engine's settings
// (which the bridge makes in its engine's process, not its own), "--exchange FILE" when
// `exchange_file` names the side file for the bridge's part of the exchange log, the
// protocol's name, "--" and the engine's command line.
void engine_command_line(const EngineSpec& engine, std::string& program,
                         std::vector<std::string>& arguments, std::vector<std::string>& environment,
                         const std::string& exchange_file = "");

// Checks, before a match starts, that each engine's program can be run and its directory
// exists; false with a reason otherwise, so that a mistyped path does not turn into a
// match of forfeits.
bool engines_can_start(const MatchOptions& options, std::string& error);
