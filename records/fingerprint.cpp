#include "records/fingerprint.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace {

// FNV-1a, 64 bits.
uint64_t hash_text(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

} // namespace

std::string match_fingerprint(const MatchOptions& options) {
    // Separated by NUL bytes, so that no two different option sets give the same text.
    std::string text;
    for (const EngineSpec& engine : options.engines) {
        text += engine.name + '\0';
        for (const std::string& argument : engine.arguments)
            text += argument + '\1';
        // Only another protocol, an environment or a fixed move time add to the text, so that
        // results recorded before these could be chosen still resume.
        if (engine.protocol != "line")
            text += "proto=" + engine.protocol + '\2';
        // The environment as a set: the order of its names changes nothing.
        std::vector<std::string> environment = engine.environment;
        std::sort(environment.begin(), environment.end());
        for (const std::string& setting : environment)
            text += "env=" + setting + '\3';
        if (engine.movetime_ms)
            text += "movetime=" + std::to_string(engine.movetime_ms) + '\4';
        if (engine.increment_ms)
            text += "increment=" + std::to_string(engine.increment_ms) + '\6';
        text += '\0';
    }
    text += options.opening + '\0' + std::to_string(options.seed) + '\0' +
            std::to_string(options.increment_ms) + '\0' + std::to_string(options.time_margin_ms) +
            '\0' + (options.time_forfeit ? "1" : "0") + '\0' +
            std::to_string(options.stall_timeout_s);
    // Only a board or rules other than the window program's add to the text, so that
    // results recorded before these could be chosen still resume.
    if (options.board_cols != FENDREL_COLS || options.board_rows != FENDREL_ROWS ||
        options.rules != RuleSet{})
        text += '\5' + std::to_string(options.board_cols) + 'x' +
                std::to_string(options.board_rows) + ' ' + rule_set_text(options.rules);
    // A gauntlet pairs other engines in its games than a round robin of three or more does.
    if (options.tournament == Tournament::gauntlet && options.engines.size() > 2)
        text += "\7gauntlet";
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016" PRIx64, hash_text(text));
    return digest;
}
