#include "records/results_file.h"
#include "os/file.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

namespace {

// The whole file; `missing` tells a file that does not exist from one that cannot be read.
bool read_text(const std::string& path, std::string& text, bool& missing) {
    std::error_code error;
    missing = !std::filesystem::exists(path, error) && !error;
    return read_whole_file(path, text);
}

} // namespace

bool read_results(const std::string& path, std::vector<GameRecord>& records, int& skipped,
                  std::string& error) {
    std::string text;
    bool missing = false;
    if (!read_text(path, text, missing)) {
        if (missing)
            return true;
        error = "cannot read " + path;
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        GameRecord record;
        if (record_from_json(line, record))
            records.push_back(record);
        else
            ++skipped;
    }
    return true;
}

bool ends_in_unfinished_line(const std::string& path) {
    std::string text;
    bool missing = false;
    return read_text(path, text, missing) && !text.empty() && text.back() != '\n';
}

bool trim_unfinished_line(const std::string& path) {
    std::string text;
    bool missing = false;
    if (!read_text(path, text, missing))
        return missing;
    if (text.empty() || text.back() == '\n')
        return true;
    const size_t keep = text.find_last_of('\n');
    std::error_code error;
    std::filesystem::resize_file(path, keep == std::string::npos ? 0 : keep + 1, error);
    return !error;
}

bool unique_games(const std::vector<GameRecord>& records, std::vector<GameRecord>& games,
                  std::string& error) {
    games.clear();
    std::set<int> seen;
    for (const GameRecord& record : records) {
        if (record.match != records.front().match) {
            error = "the results belong to different matches (" + records.front().match + " and " +
                    record.match + ")";
            return false;
        }
        if (seen.insert(record.game).second)
            games.push_back(record);
    }
    std::sort(games.begin(), games.end(),
              [](const GameRecord& a, const GameRecord& b) { return a.game < b.game; });
    return true;
}

bool resume_results(const std::string& path, const std::string& fingerprint, int games,
                    std::vector<GameRecord>& records, std::string& error) {
    records.clear();
    std::vector<GameRecord> found;
    int skipped = 0;
    if (!read_results(path, found, skipped, error))
        return false;
    // Only a line that a stopped run left unfinished may be cut away; any other line that is
    // not a result means the file is not this match's to change.
    if (skipped > (ends_in_unfinished_line(path) ? 1 : 0)) {
        error = path + " holds lines that are not results; give another --results file";
        return false;
    }
    if (!found.empty() && !unique_games(found, records, error)) {
        error = path + ": " + error;
        return false;
    }
    if (!records.empty() && records.front().match != fingerprint) {
        error = path + " holds the games of a match with other options; give another --results "
                       "file";
        return false;
    }
    if (!trim_unfinished_line(path)) {
        error = "cannot change " + path;
        return false;
    }
    std::erase_if(records, [&](const GameRecord& record) { return record.game >= games; });
    return true;
}
