#include "engine/line_cutter.h"

#include "engine/engine_process.h"

#include <cstring>

namespace {

constexpr int PENDING_CAPACITY = ENGINE_LINE_SIZE - 1;

} // namespace

int pending_room(int pending_length) {
    return PENDING_CAPACITY - pending_length;
}

void append_chunk(char* pending, int& pending_length, const char* chunk, int length) {
    const int room = pending_room(pending_length);
    if (length > room)
        length = room;
    for (int i = 0; i < length; ++i) {
        if (chunk[i] != '\0')
            pending[pending_length++] = chunk[i];
    }
    pending[pending_length] = '\0';
}

bool cut_line(char* pending, int& pending_length, char* line, bool& after_full) {
    if (after_full && pending_length > 0) {
        after_full = false;
        if (pending[0] == '\n') {
            const int skip = pending_length > 1 && pending[1] == '\r' ? 2 : 1;
            pending_length -= skip;
            std::memmove(pending, pending + skip, pending_length + 1);
        }
    }
    if (pending_length <= 0)
        return false;
    const char* feed =
        static_cast<const char*>(std::memchr(pending, '\n', static_cast<size_t>(pending_length)));
    int line_length = 0;
    int skip = 0;
    if (feed) {
        line_length = static_cast<int>(feed - pending);
        skip = line_length + 1;
        if (skip < pending_length && pending[skip] == '\r')
            ++skip;
    } else if (pending_length == PENDING_CAPACITY) {
        line_length = PENDING_CAPACITY;
        skip = PENDING_CAPACITY;
        after_full = true;
    } else {
        return false;
    }
    std::memcpy(line, pending, line_length);
    line[line_length] = '\0';
    pending_length -= skip;
    std::memmove(pending, pending + skip, pending_length);
    pending[pending_length] = '\0';
    return true;
}
