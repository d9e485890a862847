#include "os/text_encoding.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0xFF in Windows-1251. 0x98 is unassigned; it maps to
// U+0098 as Windows' own conversion does.
constexpr uint16_t CP1251_HIGH_HALF[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

// Appends one code point below U+10000 in UTF-8.
void append_utf8(std::string& out, uint16_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at s, or 0 when there is none.
int utf8_sequence_length(const unsigned char* s) {
    const unsigned char lead = s[0];
    if (lead < 0x80)
        return 1;
    // The second byte's range is narrowed for the leads that could otherwise start an
    // overlong form, a surrogate or a code point above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    int length;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (s[1] < low || s[1] > high)
        return 0;
    // A NUL ends the text and fails this test, so no byte past it is read.
    for (int i = 2; i < length; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF)
            return 0;
    return length;
}

} // namespace

bool is_valid_utf8(const char* text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        const int length = utf8_sequence_length(s);
        if (length == 0)
            return false;
        s += length;
    }
    return true;
}

std::string utf8_from_cp1251(const char* text) {
    std::string out;
    for (const auto* s = reinterpret_cast<const unsigned char*>(text); *s; ++s)
        append_utf8(out, *s < 0x80 ? *s : CP1251_HIGH_HALF[*s - 0x80]);
    return out;
}
