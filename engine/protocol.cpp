#include "engine/protocol.h"

#include <cstdio>

int format_new_line(char* buf, int size, int32_t rows, int32_t cols) {
    return std::snprintf(buf, size, "new %d %d\n", static_cast<int>(rows), static_cast<int>(cols));
}

int format_increment_line(char* buf, int size, uint32_t increment) {
    return std::snprintf(buf, size, "increment %u\n", static_cast<unsigned>(increment));
}

int format_clock_block(char* buf, int size, uint32_t own_clock, uint32_t opponent_clock) {
    return std::snprintf(buf, size, "time %u\notime %u\ngo\n", static_cast<unsigned>(own_clock),
                         static_cast<unsigned>(opponent_clock));
}

int format_move_line(char* buf, int size, int32_t x, int32_t y) {
    return std::snprintf(buf, size, "move %d %d\n", static_cast<int>(x), static_cast<int>(y));
}
