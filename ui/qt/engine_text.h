// The Linux window shows text in UTF-8. The program's own texts are UTF-8 already; an
// engine's line is taken as UTF-8 when it is valid UTF-8, and otherwise as Windows-1251,
// the code page the Windows program passes through unchanged.
#pragma once

#include <string>

// Whether the NUL-terminated bytes are well-formed UTF-8: no stray continuation bytes, no
// truncated or overlong sequences, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(const char* text);

// The Windows-1251 bytes as UTF-8; every byte maps to one character.
std::string utf8_from_cp1251(const char* text);

// The text to show for bytes that came from the program or an engine, in UTF-8.
std::string displayable_text(const char* text);
