#include "ui/qt/engine_text.h"

std::string displayable_text(const char* text) {
    return is_valid_utf8(text) ? std::string(text) : utf8_from_cp1251(text);
}
