// The operating system's side on Windows (os/process.h, os/console.h).
//
// Every handle this program makes is non-inheritable. A started program is given
// inheritable copies of its three standard streams alone, made just before it starts and
// closed right after, so that no child holds another child's pipes or this program's log.
#include "os/console.h"
#include "os/file.h"
#include "os/handle_win32.h"
#include "os/process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// An inheritable copy of one standard stream for a child, or nullptr for none.
HANDLE child_copy(const ChildStream& stream, DWORD own_stream) {
    HANDLE source = nullptr;
    if (stream.kind == ChildStream::Kind::handle) {
        source = as_handle(stream.handle);
    } else if (stream.kind == ChildStream::Kind::ours) {
        source = GetStdHandle(own_stream);
    } else {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const bool input = own_stream == STD_INPUT_HANDLE;
        return CreateFileA("NUL", input ? GENERIC_READ : GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    }
    HANDLE copy = nullptr;
    if (!source || source == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), source, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// One argument as the C runtime's parser reads it back: quoted when it holds white space
// or quotes, backslashes doubled before a quote.
void append_argument(std::string& line, const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

// This program's environment block with the changes ("NAME=VALUE") made.
std::string changed_environment(const std::vector<std::string>& changes) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; entry && *entry; entry += std::strlen(entry) + 1) {
        const std::string variable = entry;
        const std::string name = variable.substr(0, variable.find('=', 1) + 1);
        bool replaced = false;
        for (const std::string& change : changes)
            replaced = replaced || _strnicmp(change.c_str(), name.c_str(), name.size()) == 0;
        if (!replaced)
            block += variable + '\0';
    }
    if (strings)
        FreeEnvironmentStringsA(strings);
    for (const std::string& change : changes)
        block += change + '\0';
    return block + '\0';
}

// 100-nanosecond units of a FILETIME.
int64_t filetime_units(const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// Kernel and user time together, in milliseconds, rounded to the nearest.
int64_t cpu_time_ms(const FILETIME& kernel, const FILETIME& user) {
    return (filetime_units(kernel) + filetime_units(user) + 5000) / 10000;
}

struct ThreadStart {
    void (*fn)(void*);
    void* arg;
};

DWORD WINAPI thread_entry(LPVOID start) {
    const ThreadStart run = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    run.fn(run.arg);
    return 0;
}

} // namespace

bool start_program(const ProgramStart& start, ProcessInfo& process) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_copy(start.input, STD_INPUT_HANDLE);
    startup.hStdOutput = child_copy(start.output, STD_OUTPUT_HANDLE);
    startup.hStdError = child_copy(start.error, STD_ERROR_HANDLE);

    std::string line;
    if (start.with_command_line) {
        append_argument(line, start.program);
        for (const std::string& argument : start.arguments) {
            line += ' ';
            append_argument(line, argument);
        }
    }
    std::string environment;
    if (!start.environment_changes.empty())
        environment = changed_environment(start.environment_changes);
    DWORD flags = 0;
    if (start.without_console)
        flags |= DETACHED_PROCESS;
    // A job holds all the program starts; it starts suspended until it is in the job, so
    // that nothing it starts escapes.
    HANDLE job = nullptr;
    if (start.own_process_group) {
        job = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job)
            SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        flags |= CREATE_NEW_PROCESS_GROUP | (job ? CREATE_SUSPENDED : 0);
    }

    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(
        start.with_command_line ? nullptr : start.program.c_str(),
        start.with_command_line ? line.data() : nullptr, nullptr, nullptr, TRUE, flags,
        environment.empty() ? nullptr : environment.data(),
        start.directory.empty() ? nullptr : start.directory.c_str(), &startup, &info);
    for (HANDLE copy : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        if (copy && copy != INVALID_HANDLE_VALUE)
            CloseHandle(copy);
    if (!started) {
        if (job)
            CloseHandle(job);
        return false;
    }
    if (job) {
        if (!AssignProcessToJobObject(job, info.hProcess)) {
            CloseHandle(job);
            job = nullptr;
        }
        ResumeThread(info.hThread);
    }
    process.group = job ? from_handle(job) : NO_HANDLE;
    process.process = from_handle(info.hProcess);
    process.thread = from_handle(info.hThread);
    process.process_id = info.dwProcessId;
    process.thread_id = info.dwThreadId;
    return true;
}

ProgramStart engine_program_start(const char* name) {
    ProgramStart start;
    start.program = name;
    start.with_command_line = false;
    start.without_console = true;
    start.own_process_group = true;
    // "D:\" where it exists, so that an engine still starts on a machine without a drive D:.
    const DWORD attributes = GetFileAttributesA("D:\\");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        start.directory = "D:\\";
    return start;
}

bool can_start_program(const std::string& command) {
    char found[MAX_PATH];
    return SearchPathA(nullptr, command.c_str(), ".exe", sizeof found, found, nullptr) > 0;
}

bool wait_for_exit(ProcessInfo& process, int wait_ms, int& status) {
    if (process.process == NO_HANDLE)
        return false;
    const DWORD wait = wait_ms < 0 ? INFINITE : static_cast<DWORD>(wait_ms);
    if (WaitForSingleObject(as_handle(process.process), wait) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(as_handle(process.process), &code);
    status = static_cast<int>(code);
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(as_handle(process.process), &created, &ended, &kernel, &user))
        process.cpu_ms = cpu_time_ms(kernel, user);
    close_handle(process.process);
    close_handle(process.thread);
    return true;
}

void end_process_group(ProcessInfo& process, int& status) {
    if (process.group != NO_HANDLE)
        TerminateJobObject(as_handle(process.group), 1);
    close_handle(process.group);
    if (process.process == NO_HANDLE)
        return;
    TerminateProcess(as_handle(process.process), 1);
    wait_for_exit(process, -1, status);
}

// A job ends as one, so killing an engine and ending its group are the same on Windows.
void kill_process(ProcessInfo& process) {
    int status = 0;
    end_process_group(process, status);
}

void adopt_orphans() {}

int exit_code_of(int status) {
    return status;
}

std::string describe_exit_status(int status) {
    return "exited with code " + std::to_string(static_cast<unsigned>(status));
}

int64_t own_cpu_ms() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    return cpu_time_ms(kernel, user);
}

int64_t children_cpu_ms() {
    // Windows keeps no sum over a program's children; nothing that runs here needs it.
    return 0;
}

OsHandle start_thread(void (*fn)(void*), void* arg) {
    auto* start = new ThreadStart{fn, arg};
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, thread_entry, start, 0, &id);
    if (!thread) {
        delete start;
        return NO_HANDLE;
    }
    return from_handle(thread);
}

void join_thread(OsHandle& thread) {
    if (thread != NO_HANDLE)
        WaitForSingleObject(as_handle(thread), INFINITE);
    close_handle(thread);
}

bool join_thread_within(OsHandle& thread, int wait_ms) {
    if (thread == NO_HANDLE)
        return true;
    const bool joined =
        WaitForSingleObject(as_handle(thread), static_cast<DWORD>(wait_ms)) == WAIT_OBJECT_0;
    close_handle(thread);
    return joined;
}

uint32_t monotonic_ms() {
    return GetTickCount();
}

uint64_t monotonic_us() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const auto ticks = static_cast<uint64_t>(count.QuadPart);
    const auto per_second = static_cast<uint64_t>(frequency.QuadPart);
    return ticks / per_second * 1000000 + ticks % per_second * 1000000 / per_second;
}

int count_open_handles() {
    // Probed one by one: Wine answers GetProcessHandleCount with 0. Handle values are
    // multiples of 4, and a program of this system holds far fewer than 1024 of them.
    int count = 0;
    for (uintptr_t value = 4; value < 4 * 1024; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

OsHandle stream_handle(std::FILE* stream) {
    return static_cast<OsHandle>(_get_osfhandle(_fileno(stream)));
}

std::vector<OsHandle> handles_beyond_standard_streams(const std::vector<OsHandle>& suspects) {
    // A program's own handles from its start share the values of its parent's, so a value
    // alone proves nothing: only a pipe or a file that is not a standard stream of its own
    // could have come from the parent (its own handles at start are other objects, and its
    // working directory a folder).
    const HANDLE own[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                          GetStdHandle(STD_ERROR_HANDLE)};
    std::vector<OsHandle> found;
    for (const OsHandle suspect : suspects) {
        const HANDLE handle = as_handle(suspect);
        if (handle == own[0] || handle == own[1] || handle == own[2])
            continue;
        const DWORD type = GetFileType(handle);
        BY_HANDLE_FILE_INFORMATION file{};
        const bool folder =
            type == FILE_TYPE_DISK && (!GetFileInformationByHandle(handle, &file) ||
                                       (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY));
        if (type == FILE_TYPE_PIPE || (type == FILE_TYPE_DISK && !folder))
            found.push_back(suspect);
    }
    return found;
}

std::FILE* create_private_text_file(const char* path) {
    // The C library's "N" is not in every runtime: the handle's own flag says it for sure.
    std::FILE* file = std::fopen(path, "w");
    if (file)
        SetHandleInformation(as_handle(stream_handle(file)), HANDLE_FLAG_INHERIT, 0);
    return file;
}

OsHandle standard_stream(int number) {
    const DWORD which = number == 0   ? STD_INPUT_HANDLE
                        : number == 1 ? STD_OUTPUT_HANDLE
                                      : STD_ERROR_HANDLE;
    return from_handle(GetStdHandle(which));
}

void use_binary_console() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool is_terminal(OsHandle handle) {
    return GetFileType(as_handle(handle)) == FILE_TYPE_CHAR;
}

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

uint32_t own_process_id() {
    return GetCurrentProcessId();
}

const char* text_mode_line_end() {
    return "\r\n";
}
