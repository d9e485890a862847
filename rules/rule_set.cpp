#include "rules/rule_set.h"

#include <charconv>

namespace {

constexpr const char* START_NAMES[] = {"empty", "cross", "cross2", "cross4"};

bool read_start(std::string_view value, StartPosition& start) {
    for (int i = 0; i < 4; ++i) {
        if (value == START_NAMES[i]) {
            start = static_cast<StartPosition>(i);
            return true;
        }
    }
    return false;
}

// Reads one option=value into rules; the reason in error when it cannot.
bool read_option(std::string_view option, RuleSet& rules, std::string& error) {
    const size_t eq = option.find('=');
    const std::string_view key = option.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? "" : option.substr(eq + 1);
    const bool standard = rules.kind == RuleKind::standard;
    if (key == "suicide" && standard && (value == "on" || value == "off")) {
        rules.suicide = value == "on";
        return true;
    }
    if (key == "empty-bases" && standard && (value == "keep" || value == "capture")) {
        rules.capture_empty_bases = value == "capture";
        return true;
    }
    if (key == "start" && read_start(value, rules.start))
        return true;
    if (key == "start-seed") {
        const auto [end, ec] =
            std::from_chars(value.data(), value.data() + value.size(), rules.start_seed);
        if (ec == std::errc() && end == value.data() + value.size() && rules.start_seed != 0)
            return true;
    }
    error = "unknown rule option \"" + std::string(option) + "\"";
    return false;
}

} // namespace

std::string rule_set_text(const RuleSet& rules) {
    std::string text = rules.kind == RuleKind::fendrel ? "fendrel" : "standard";
    if (!rules.suicide)
        text += ",suicide=off";
    if (rules.capture_empty_bases)
        text += ",empty-bases=capture";
    if (rules.start != StartPosition::empty)
        text += std::string(",start=") + START_NAMES[static_cast<int>(rules.start)];
    if (rules.start_seed != 0)
        text += ",start-seed=" + std::to_string(rules.start_seed);
    return text;
}

bool parse_rule_set(std::string_view text, RuleSet& rules, std::string& error) {
    RuleSet read;
    const size_t comma = text.find(',');
    const std::string_view name = text.substr(0, comma);
    if (name == "standard") {
        read.kind = RuleKind::standard;
    } else if (name != "fendrel") {
        error = "unknown rule set \"" + std::string(name) + "\" (fendrel or standard)";
        return false;
    }
    for (size_t at = comma; at != std::string_view::npos;) {
        const size_t next = text.find(',', at + 1);
        if (!read_option(text.substr(at + 1, next - at - 1), read, error))
            return false;
        at = next;
    }
    rules = read;
    return true;
}
