// The fingerprint of a match, kept in every results line, so that results of another match
// never mix in on resume.
#pragma once

#include "records/match_definition.h"

#include <string>

// A short hex digest of everything that decides how a game is played (engine names and
// arguments, opening, seed, clock rules, board and rules): results lines of another match never mix
// in.
std::string match_fingerprint(const MatchOptions& options);
