#include "engine_os.h"

#include <windows.h>

std::string own_program_path() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), path.size());
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int read_standard_input(char* buffer, int size) {
    // An empty write by the other end reads as success with no bytes; only a failure ends.
    for (;;) {
        DWORD length = 0;
        if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, size, &length, nullptr))
            return 0;
        if (length > 0)
            return static_cast<int>(length);
    }
}

bool write_standard_stream(int stream, const char* data, int size) {
    const HANDLE handle = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    return WriteFile(handle, data, size, &written, nullptr) && written == DWORD(size);
}
