// What the 32-bit Windows build could get wrong that the native one would not: integer sizes
// the game state relies on, and the C runtime's formatted input and output of decimals.
#include "rules/board.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

TEST(Platform, IntegerSizesOfTheGameState) {
    static_assert(sizeof(int) == 4);
    EXPECT_EQ(sizeof cell_owner / sizeof cell_owner[0], 2048u);
    EXPECT_EQ(sizeof(int32_t), 4u);
    // Tick arithmetic wraps modulo 2^32 whatever the width of long.
    const uint32_t before_wrap = 0xFFFFFF00u;
    const uint32_t after_wrap = 0x00000100u;
    EXPECT_EQ(static_cast<uint32_t>(after_wrap - before_wrap), 0x200u);
}

TEST(Platform, DecimalFormattingOfTheProtocol) {
    char text[64];
    std::snprintf(text, sizeof text, "time %u\notime %u\ngo\n", 4294967295u, 0u);
    EXPECT_STREQ(text, "time 4294967295\notime 0\ngo\n");
    std::snprintf(text, sizeof text, "move %d %d\n", INT32_MIN, -1);
    EXPECT_STREQ(text, "move -2147483648 -1\n");
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(INT64_MIN));
    EXPECT_STREQ(text, "-9223372036854775808");
}

TEST(Platform, DecimalScanningOfTheProtocol) {
    int x = 0, y = 0;
    EXPECT_EQ(std::sscanf("  -12 \t 7\r", "%d%d", &x, &y), 2);
    EXPECT_EQ(x, -12);
    EXPECT_EQ(y, 7);
    long long big = 0;
    EXPECT_EQ(std::sscanf("9223372036854775807", "%lld", &big), 1);
    EXPECT_EQ(big, INT64_MAX);
}

} // namespace
