// Files of results lines: read back for resume and for merge. A match appends one complete
// line per game, so the only damage a stopped run can leave is a last line cut short.
#pragma once

#include "records/game_record.h"

#include <string>
#include <vector>

// Reads every results line of a file (a missing file has none); lines that are not results
// lines, such as a last line cut short, are counted in `skipped`. False when the file
// exists but cannot be read.
bool read_results(const std::string& path, std::vector<GameRecord>& records, int& skipped,
                  std::string& error);

// Whether the file's last line has no line feed: the line a stopped run left unfinished.
bool ends_in_unfinished_line(const std::string& path);

// Cuts the file after its last line feed, so that a line a stopped run left unfinished does
// not run into the next one; false when the file cannot be changed.
bool trim_unfinished_line(const std::string& path);

// Keeps the first record of each game, in game order; false when the records belong to
// different matches.
bool unique_games(const std::vector<GameRecord>& records, std::vector<GameRecord>& games,
                  std::string& error);

// Reads back the games a stopped run of the match with this fingerprint already played,
// and readies the file for more: a last line cut short is cut away. Games past `games` stay
// in the file but not in `records`. False, with the reason, when the file holds lines other
// than results, or results of another match, or cannot be changed.
bool resume_results(const std::string& path, const std::string& fingerprint, int games,
                    std::vector<GameRecord>& records, std::string& error);
