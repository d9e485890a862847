// Text in UTF-8 and in Windows-1251, the two encodings the programs meet: their own texts
// and engine lines, and text properties of game records.
#pragma once

#include <string>

// Whether the NUL-terminated bytes are well-formed UTF-8: no stray continuation bytes, no
// truncated or overlong sequences, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(const char* text);

// The Windows-1251 bytes as UTF-8; every byte maps to one character.
std::string utf8_from_cp1251(const char* text);
