#include "engine_os.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

std::string own_program_path() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

int read_standard_input(char* buffer, int size) {
    for (;;) {
        const ssize_t length = read(0, buffer, static_cast<size_t>(size));
        if (length >= 0)
            return static_cast<int>(length);
        if (errno != EINTR)
            return 0;
    }
}

bool write_standard_stream(int stream, const char* data, int size) {
    // A blocking pipe takes the whole write unless a signal interrupts it.
    while (size > 0) {
        const ssize_t written = write(stream, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<int>(written);
    }
    return true;
}
