#include "records/sgf_rules.h"

#include <cctype>

namespace {

// The KataGo fork's form: keys of letters, each followed by its digits. Every such game is
// played under the standard rules; the start position is in its set-up dots.
bool katago_rules(const std::string& text, RuleSet& rules) {
    RuleSet read;
    read.kind = RuleKind::standard;
    size_t at = 0;
    while (at < text.size()) {
        const size_t key_start = at;
        while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])))
            ++at;
        const std::string key = text.substr(key_start, at - key_start);
        const size_t value_start = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++at;
        if (key.empty() || at == value_start)
            return false;
        const bool on = text.substr(value_start, at - value_start) != "0";
        if (key == "dotsCaptureEmptyBase" || key == "dotsCaptureEmptyBases")
            read.capture_empty_bases = on;
        else if (key == "sui" || key == "suicide" || key == "multiStoneSuicideLegal")
            read.suicide = on;
        else if (key != "startPosIsRandom" && key != "startPos" && key != "dots")
            return false;
    }
    rules = read;
    return true;
}

} // namespace

bool rules_from_sgf_text(const std::string& text, RuleSet& rules, std::string& error) {
    if (text == "AtLeastOneOpponentDot") {
        rules = RuleSet{RuleKind::standard};
        return true;
    }
    if (text == "AnySurrounding") {
        rules = RuleSet{RuleKind::standard};
        rules.capture_empty_bases = true;
        return true;
    }
    if (parse_rule_set(text, rules, error) || katago_rules(text, rules))
        return true;
    error = "rules RU[" + text + "] are not played here";
    return false;
}
