// The rules a board is played under, and their text: a set's name with options after it,
// separated by commas ("standard,suicide=off,start=cross4"). The names are Fendrel's own;
// docs/rules.md gives the words other dots programs use for the same things.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class RuleKind {
    fendrel,  // every closed ring of the mover's dots encloses what it surrounds
    standard, // a ring captures only when it holds a dot of the other side
};

enum class StartPosition { empty, cross, cross2, cross4 };

struct RuleSet {
    RuleKind kind = RuleKind::fendrel;
    bool suicide = true;              // standard: a dot may be placed into the other's ring
    bool capture_empty_bases = false; // standard: an empty ring becomes a base too
    StartPosition start = StartPosition::empty;
    // When nonzero, cross4 is drawn from this seed: each cross turned at random.
    uint32_t start_seed = 0;

    bool operator==(const RuleSet&) const = default;
};

// The canonical text of a rule set: its name, then each option that differs from the set's
// default, in a fixed order. Reading the text gives the same rule set back.
std::string rule_set_text(const RuleSet& rules);

// Reads a rule set's text; false, with the reason in error, for an unknown set or option
// or an option that does not fit the set.
bool parse_rule_set(std::string_view text, RuleSet& rules, std::string& error);
