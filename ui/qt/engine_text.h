// The Linux window shows text in UTF-8. The program's own texts are UTF-8 already; an
// engine's line is taken as UTF-8 when it is valid UTF-8, and otherwise as Windows-1251,
// the code page the Windows program passes through unchanged.
#pragma once

#include "os/text_encoding.h"

#include <string>

// The text to show for bytes that came from the program or an engine, in UTF-8.
std::string displayable_text(const char* text);
