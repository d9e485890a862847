// The rules of an SGF game as RU writes them. Fendrel writes its own rule set's text
// (rule_set_text); it reads that, the KataGo fork's run of keys and digits
// ("dotsCaptureEmptyBase0startPosIsRandom1sui1": each key's value 0 or 1; the start dots
// come as AB and AW), and the Kotlin dots GUI's base modes (AtLeastOneOpponentDot,
// AnySurrounding). docs/rules.md lists them.
#pragma once

#include "rules/rule_set.h"

#include <string>

// Reads an RU value; false with the reason for one that names no rule set played here.
bool rules_from_sgf_text(const std::string& text, RuleSet& rules, std::string& error);
