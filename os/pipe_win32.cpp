// Pipes and the handles of their ends on Windows (os/process.h). Every pipe is made
// non-inheritable; a started program gets inheritable copies of its three streams alone.
#include "os/handle_win32.h"
#include "os/process.h"

#include <windows.h>

bool make_pipe(OsHandle& read_end, OsHandle& write_end) {
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (!CreatePipe(&r, &w, nullptr, 0)) {
        read_end = write_end = NO_HANDLE;
        return false;
    }
    read_end = from_handle(r);
    write_end = from_handle(w);
    return true;
}

void close_handle(OsHandle& handle) {
    if (handle != NO_HANDLE)
        CloseHandle(as_handle(handle));
    handle = NO_HANDLE;
}

int read_handle(OsHandle handle, char* buffer, int size) {
    // From a pipe, a successful read of no bytes is the other end's empty write, not the end
    // of its output: the end comes as a failed read once every write end is closed. A file
    // or a console has no empty writes: no bytes is its end.
    for (;;) {
        DWORD length = 0;
        if (!ReadFile(as_handle(handle), buffer, static_cast<DWORD>(size), &length, nullptr))
            return 0;
        if (length > 0)
            return static_cast<int>(length);
        if (GetFileType(as_handle(handle)) != FILE_TYPE_PIPE)
            return 0;
    }
}

bool write_handle(OsHandle handle, const char* data, size_t size) {
    // Zero bytes make one empty write, which a reader of a Windows pipe sees as such.
    do {
        DWORD written = 0;
        if (!WriteFile(as_handle(handle), data, static_cast<DWORD>(size), &written, nullptr) ||
            (written == 0 && size > 0))
            return false;
        data += written;
        size -= written;
    } while (size > 0);
    return true;
}

void write_without_blocking(OsHandle) {}

bool write_now(OsHandle, const char*, size_t, size_t& written) {
    written = 0;
    return true;
}

int peek_pipe(OsHandle handle, char* buffer, int size) {
    DWORD got = 0;
    if (!PeekNamedPipe(as_handle(handle), buffer, static_cast<DWORD>(size), &got, nullptr, nullptr))
        return 0;
    return static_cast<int>(got);
}

void shrink_pipe(OsHandle) {}

bool wait_readable(OsHandle handle, int wait_ms) {
    // Anonymous pipes cannot be waited on: look at what is there, a millisecond apart.
    const DWORD until = GetTickCount() + static_cast<DWORD>(wait_ms);
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(as_handle(handle), nullptr, 0, nullptr, &available, nullptr) ||
            available > 0)
            return true;
        if (static_cast<int32_t>(GetTickCount() - until) >= 0)
            return false;
        Sleep(1);
    }
}
