// What the referee, its tools and its tests need of the operating system to run other
// programs: pipes, starting a program with its arguments, folder and standard streams,
// waiting for it, ending it, its CPU time, and threads. One header; os_posix.cpp and
// os_win32.cpp define it, and CMake links the one for the target.
//
// Handles are plain values that any thread may pass on; each is used by one thread at a
// time, as its owner says.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A Win32 HANDLE, or a POSIX file descriptor, process id or thread.
using OsHandle = std::intptr_t;
constexpr OsHandle NO_HANDLE = -1;

// A started program: the process (and on Win32 its first thread) and their ids, and the
// group of all it starts when it was started in one of its own (POSIX: the process group's
// id; Win32: a job object, which ends everything in it when this program ends).
struct ProcessInfo {
    OsHandle process = NO_HANDLE;
    OsHandle thread = NO_HANDLE;
    OsHandle group = NO_HANDLE;
    uint32_t process_id = 0;
    uint32_t thread_id = 0;
    // Its CPU time, user and system, once it has been reaped (wait_for_exit, kill_process,
    // end_process_group): on POSIX its own and that of the children it reaped, on Win32 its
    // own. -1 before then.
    int64_t cpu_ms = -1;
};

// A new pipe; neither end is inherited by any program started later, except as the
// standard stream it is given to. False (both left NO_HANDLE) when none could be made.
bool make_pipe(OsHandle& read_end, OsHandle& write_end);

// Closes a handle if it is open and marks it NO_HANDLE.
void close_handle(OsHandle& handle);

// One blocking read of at most size bytes: the number read, or 0 at the end of the input
// or on an error. An empty write of the other end is no end.
int read_handle(OsHandle handle, char* buffer, int size);

// Writes all of the bytes, however many writes that takes; false when it could not (the
// reader has gone). Zero bytes make one empty write on Windows, nothing on POSIX, where a
// pipe has no such thing.
bool write_handle(OsHandle handle, const char* data, size_t size);

// From now on writes to this pipe end never wait on the pipe: write_handle waits for room
// itself, and write_now takes only what the pipe takes at once. On Win32 nothing changes.
void write_without_blocking(OsHandle handle);

// Writes what the pipe takes at once, without waiting, into `written`; false when the
// reader has gone. On Win32, where an anonymous pipe cannot be asked, it writes nothing.
bool write_now(OsHandle handle, const char* data, size_t size, size_t& written);

// Copies up to size bytes that wait in a pipe into buffer without taking them out of the
// pipe: the bytes a read would take, which stay there for it. 0 when none wait.
int peek_pipe(OsHandle handle, char* buffer, int size);

// Makes the pipe hold as little as the system lets it (a page on Linux; a Windows pipe
// holds little already), so that a reader that stops reading fills it soon.
void shrink_pipe(OsHandle handle);

// Waits up to wait_ms for the handle to have something to read, or its end; false when
// the time ran out first.
bool wait_readable(OsHandle handle, int wait_ms);

// What a started program's standard stream is: this program's own, the null device, or a
// handle (a pipe end or an open file), which stays this program's to close.
struct ChildStream {
    enum class Kind { ours, null_device, handle } kind = Kind::ours;
    OsHandle handle = NO_HANDLE;

    static ChildStream to(OsHandle h) { return {Kind::handle, h}; }
    static ChildStream null() { return {Kind::null_device, NO_HANDLE}; }
};

struct ProgramStart {
    // A path, or a bare name looked up in PATH; on Win32 as CreateProcess finds it.
    std::string program;
    std::vector<std::string> arguments; // after the program's own name
    // Win32: false starts the program with no command line at all.
    bool with_command_line = true;
    std::string directory;                        // where it runs; "" for this program's
    std::vector<std::string> environment_changes; // "NAME=VALUE", over this program's
    ChildStream input, output, error;
    bool own_process_group = false; // so that one kill ends all it starts
    bool without_console = false;   // Win32: a program of its own, without a console
};

// Starts the program with an empty signal mask and the default action for every signal;
// false (process left empty) when it could not be started.
bool start_program(const ProgramStart& start, ProcessInfo& process);

// How the window programs start an engine: the program `name` in the current directory,
// never one found on PATH, with no arguments, in a group of its own; on Win32 without a
// command line or a console, in "D:\" where that exists, else in the current directory.
ProgramStart engine_program_start(const char* name);

// Whether `command` names a program that start_program can start: a path to an
// executable file, or a bare name found in PATH.
bool can_start_program(const std::string& command);

// Whether the program has ended within wait_ms (0 only looks; negative waits for it). When
// it has, it is reaped, its handles closed, and `status` says how it ended.
bool wait_for_exit(ProcessInfo& process, int wait_ms, int& status);

// Kills the program if it still runs and reaps it; with a group of its own, ends
// everything left in the group too (which the program's own end does not).
void kill_process(ProcessInfo& process);

// Kills everything in the process group of a program started with own_process_group and
// reaps those of them that are this program's children, the program itself included;
// `status` says how the program ended.
void end_process_group(ProcessInfo& process, int& status);

// Makes this program the parent of whatever its children leave behind when they end (on
// Linux; elsewhere nothing), so that end_process_group can reap all of a group.
void adopt_orphans();

// The exit code in a status from wait_for_exit; 128 + the signal's number for a program
// that a signal ended.
int exit_code_of(int status);

// How a program ended, in words: "exited with code 3", "killed by signal 9".
std::string describe_exit_status(int status);

// CPU time, user and system, of this program, and of its reaped children and theirs.
int64_t own_cpu_ms();
int64_t children_cpu_ms();

// Starts fn(arg) on a thread of its own; NO_HANDLE when it could not be started.
OsHandle start_thread(void (*fn)(void*), void* arg);

// Waits until the thread has returned, and forgets it.
void join_thread(OsHandle& thread);

// Waits up to wait_ms for the thread to return; when it has not, it is left to end with
// the program. Forgets it either way; true when it returned.
bool join_thread_within(OsHandle& thread, int wait_ms);

// Milliseconds of a clock that only goes forward, as an unsigned 32-bit value that wraps.
uint32_t monotonic_ms();

// Signed distance from tick `from` to tick `to`, right across the tick count's wrap.
inline int32_t ticks_between(uint32_t from, uint32_t to) {
    return static_cast<int32_t>(to - from);
}

// Microseconds of a clock that only goes forward, the same for every program of the machine
// (CLOCK_MONOTONIC; on Win32 the performance counter), so that two programs' moments can be
// put in one order.
uint64_t monotonic_us();

// How many files, pipes and other handles this program holds open.
int count_open_handles();

// The handle under a C library stream.
OsHandle stream_handle(std::FILE* stream);

// The handles this program holds beyond its three standard streams, as a started program
// looks for what it inherited: on POSIX every open descriptor past 2; on Win32, where a
// program holds handles of its own from the start, those of the `suspects` (values of
// handles in its parent) that are open here.
std::vector<OsHandle> handles_beyond_standard_streams(const std::vector<OsHandle>& suspects);
