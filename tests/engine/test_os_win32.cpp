#include "test_os.h"

#include <windows.h>

namespace {

// The HANDLE stored in a field.
HANDLE to_handle(PlatformHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

void make_test_pipe(PlatformHandle& read_end, PlatformHandle& write_end) {
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (!CreatePipe(&r, &w, nullptr, 0))
        return;
    read_end = reinterpret_cast<PlatformHandle>(r);
    write_end = reinterpret_cast<PlatformHandle>(w);
}

void write_test_pipe(PlatformHandle write_end, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(to_handle(write_end), bytes.data(), bytes.size(), &written, nullptr);
}

void close_test_handle(PlatformHandle& end) {
    if (end != NO_HANDLE)
        CloseHandle(to_handle(end));
    end = NO_HANDLE;
}

void end_child_process(ProcessInfo& info) {
    if (info.process == NO_HANDLE)
        return;
    TerminateProcess(to_handle(info.process), 1);
    WaitForSingleObject(to_handle(info.process), INFINITE);
    close_test_handle(info.process);
    close_test_handle(info.thread);
}

void join_reader_thread(PlatformHandle thread) {
    if (thread == NO_HANDLE)
        return;
    WaitForSingleObject(to_handle(thread), INFINITE);
    CloseHandle(to_handle(thread));
}

std::string as_logged(const std::string& bytes) {
    std::string stored;
    for (char c : bytes) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    return stored;
}

int open_handle_count() {
    // Probed one by one: Wine answers GetProcessHandleCount with 0. Handle values are
    // multiples of 4, and a test process holds far fewer than 1024 of them.
    int count = 0;
    for (uintptr_t value = 4; value < 4 * 1024; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}
