// Texts of the files (engines' names, results) as the window shows them: bytes as an engine
// or another program wrote them, in UTF-8 or else Windows-1251.
#pragma once

#include "ui/qt/engine_text.h"

#include <QString>

#include <string>

inline QString file_text(const std::string& text) {
    return QString::fromStdString(displayable_text(text.c_str()));
}
