// Launching an engine and its pipes on Windows. The engine is the program named exe_name,
// resolved against the referee's current directory, started without a command line or a
// console, with the referee's environment; its standard error shares the output pipe.
//
// All four pipe ends are created inheritable, as the child needs its two; the referee's own
// two are made non-inheritable before the launch, and once the engine runs the referee
// closes its copies of the engine's ends. So engine 2 never holds engine 1's pipes, the
// output pipe reports its end when the engine exits, and writing to an exited engine fails.
#include "engine/engine_io.h"
#include "engine/engine_process.h"

#include <cstring>
#include <windows.h>

namespace {

// The HANDLE stored in a field.
HANDLE to_handle(PlatformHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Closes a handle the referee holds and marks it gone.
void close_handle(PlatformHandle& handle) {
    if (handle != NO_HANDLE)
        CloseHandle(to_handle(handle));
    handle = NO_HANDLE;
}

// Creates one anonymous pipe into the two fields; false (both left empty) on failure.
bool create_pipe(PlatformHandle& read_end, PlatformHandle& write_end,
                 SECURITY_ATTRIBUTES& security) {
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (!CreatePipe(&r, &w, &security, 0))
        return false;
    read_end = reinterpret_cast<PlatformHandle>(r);
    write_end = reinterpret_cast<PlatformHandle>(w);
    return true;
}

// The engine's working directory: "D:\" where that exists, else the referee's own (NULL),
// so that an engine still starts on a machine without a drive D:.
const char* engine_directory() {
    const DWORD attributes = GetFileAttributesA("D:\\");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "D:\\";
    return nullptr;
}

// Thread entry for the engine's reader.
DWORD WINAPI reader_entry(LPVOID engine) {
    engine_reader_thread(static_cast<EngineProcess*>(engine));
    return 0;
}

} // namespace

int EngineProcess::start_engine() {
    open_engine_log();
    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    bool launched = create_pipe(engine_in_read, engine_in_write, security) &&
                    create_pipe(engine_out_read, engine_out_write, security);
    if (launched) {
        SetHandleInformation(to_handle(engine_in_write), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(to_handle(engine_out_read), HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = to_handle(engine_in_read);
        startup.hStdOutput = to_handle(engine_out_write);
        startup.hStdError = to_handle(engine_out_write);
        PROCESS_INFORMATION info;
        launched = CreateProcessA(exe_name, nullptr, &security, &security, TRUE, DETACHED_PROCESS,
                                  nullptr, engine_directory(), &startup, &info);
        if (launched) {
            process_info.process = reinterpret_cast<PlatformHandle>(info.hProcess);
            process_info.thread = reinterpret_cast<PlatformHandle>(info.hThread);
            process_info.process_id = info.dwProcessId;
            process_info.thread_id = info.dwThreadId;
        }
    }
    close_handle(engine_in_read);
    close_handle(engine_out_write);
    if (!launched) {
        close_handle(engine_out_read);
        close_handle(engine_in_write);
        return 0;
    }

    // Set before the reader exists, so that the reader sees it even if the engine ends at
    // once.
    running = 1;
    DWORD thread_id = 0;
    const HANDLE thread = CreateThread(&security, 0, reader_entry, this, 0, &thread_id);
    if (!thread) {
        running = 0;
        return 0;
    }
    reader_thread_id = thread_id;
    reader_thread = reinterpret_cast<PlatformHandle>(thread);
    return 1;
}

int EngineProcess::send_line(const char* text) {
    if (engine_in_write == NO_HANDLE)
        return 0;
    const DWORD length = static_cast<DWORD>(std::strlen(text));
    DWORD written = 0;
    return WriteFile(to_handle(engine_in_write), text, length, &written, nullptr) &&
           written == length;
}

void close_engine_input(EngineProcess& engine) {
    close_handle(engine.engine_in_write);
}

int read_engine_output(EngineProcess& engine, char* chunk, int size) {
    // A successful read of no bytes is an engine's empty write, not the end of its output:
    // the end comes as a failed read once every write end is closed.
    for (;;) {
        DWORD length = 0;
        if (!ReadFile(to_handle(engine.engine_out_read), chunk, static_cast<DWORD>(size), &length,
                      nullptr))
            return 0;
        if (length > 0)
            return static_cast<int>(length);
    }
}
