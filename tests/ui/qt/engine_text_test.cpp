// How status texts become UTF-8 in the Linux window: valid UTF-8 passes unchanged, anything
// else is read as Windows-1251.
#include "ui/qt/engine_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8Validity, AcceptsWellFormedText) {
    for (const char* text : {"", "move 1 2", "Игрок", "Игра окончена", "\u20ac", "\U0001F600",
                             "\u07ff\u0800\uffff\U00010000\U0010FFFF", "\x7f"})
        EXPECT_TRUE(is_valid_utf8(text)) << text;
}

TEST(Utf8Validity, RejectsMalformedText) {
    const char* const malformed[] = {
        "\x80",             // continuation byte without a lead
        "\xc0\xaf",         // overlong form of '/'
        "\xc1\xbf",         // overlong two-byte form
        "\xe0\x9f\xbf",     // overlong three-byte form
        "\xf0\x8f\xbf\xbf", // overlong four-byte form
        "\xed\xa0\x80",     // a surrogate (U+D800)
        "\xf4\x90\x80\x80", // above U+10FFFF
        "\xf5\x80\x80\x80", // lead byte beyond the range
        "\xff",
        "\xd0",                 // truncated at the end of the text
        "\xe2\x82",             // truncated three-byte sequence
        "\xd0\x41",             // lead byte followed by ASCII
        "\xc8\xe3\xf0\xee\xea", // "Игрок" in Windows-1251
    };
    for (const char* text : malformed)
        EXPECT_FALSE(is_valid_utf8(text)) << testing::PrintToString(std::string(text));
}

TEST(Cp1251Decoding, MapsEveryByteToOneCharacter) {
    EXPECT_EQ(utf8_from_cp1251("plain ASCII\t~"), "plain ASCII\t~");
    EXPECT_EQ(utf8_from_cp1251("\xc8\xe3\xf0\xee\xea"), "Игрок");
    EXPECT_EQ(utf8_from_cp1251("\xc0\xdf\xe0\xff"), "АЯая");
    EXPECT_EQ(utf8_from_cp1251("\xa8\xb8"), "Ёё");
    EXPECT_EQ(utf8_from_cp1251("\x80\x81\x82\x88\x96\x97\x99\xb9"), "ЂЃ‚€–—™№");
    EXPECT_EQ(utf8_from_cp1251("\xa0\xad\xb5"), "\u00a0\u00ad\u00b5");
    EXPECT_EQ(utf8_from_cp1251("\x98"), "\u0098");
    EXPECT_EQ(utf8_from_cp1251("\xa5\xb4\xaa\xba\xaf\xbf\xb2\xb3"), "ҐґЄєЇїІі");
}

TEST(Cp1251Decoding, HighHalfNeverGivesInvalidUtf8) {
    std::string all;
    for (int byte = 0x80; byte <= 0xff; ++byte)
        all += static_cast<char>(byte);
    const std::string decoded = utf8_from_cp1251(all.c_str());
    EXPECT_TRUE(is_valid_utf8(decoded.c_str()));
    EXPECT_EQ(decoded.substr(0, 2), "Ђ");
    EXPECT_EQ(decoded.substr(decoded.size() - 2), "я");
}

TEST(DisplayableText, KeepsUtf8AndDecodesTheRestAsWindows1251) {
    EXPECT_EQ(displayable_text("Игрок"), "Игрок");
    EXPECT_EQ(displayable_text("\xcf\xf0\xe8\xe2\xe5\xf2"), "Привет");
    // One bad byte makes the whole line Windows-1251, valid sequences included.
    EXPECT_EQ(displayable_text("\xd0\x98\xff"), "Р\u0098я");
    EXPECT_EQ(displayable_text(""), "");
}

} // namespace
