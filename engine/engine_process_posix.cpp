// Launching an engine and its pipes on POSIX systems. The engine is the program named
// exe_name in the referee's current directory, never one found on PATH, and it runs in that
// directory too; unless the program set `command` (and perhaps `working_directory`), as only
// the match runner does. Standard error shares the output pipe, as on Windows.
//
// Every pipe end is created close-on-exec, so no engine inherits anything but its own two
// ends (dup2 onto 0, 1 and 2 clears the flag on those copies). Once the engine runs, the
// referee closes its copies of the engine's ends: the output pipe then reports end of input
// when the engine exits, and writing to its input fails instead of filling a pipe that
// nobody reads.
#include "engine/engine_io.h"
#include "engine/engine_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <string>
#include <unistd.h>

extern char** environ;

namespace {

// Closes a descriptor the referee holds and marks it gone.
void close_handle(PlatformHandle& fd) {
    if (fd != NO_HANDLE)
        close(static_cast<int>(fd));
    fd = NO_HANDLE;
}

// Thread entry for the engine's reader.
void* reader_entry(void* engine) {
    engine_reader_thread(static_cast<EngineProcess*>(engine));
    return nullptr;
}

// Runs ./exe_name, or the command that was set, with its standard streams on the engine's
// pipe ends; the process id, or -1 when it could not be started.
pid_t spawn_engine(const EngineProcess& engine) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(engine.engine_in_read), 0);
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(engine.engine_out_write), 1);
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(engine.engine_out_write), 2);

    // The referee ignores SIGPIPE; the engine gets the default back, and an empty signal
    // mask whichever thread starts it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int failed = 0;
    if (engine.command) {
        // A command line and folder chosen by the program (the match runner): the program is
        // looked up in PATH unless it names a path, and runs in working_directory when set.
        if (engine.working_directory)
            posix_spawn_file_actions_addchdir_np(&actions, engine.working_directory);
        failed = posix_spawnp(&pid, engine.command[0], &actions, &attributes,
                              const_cast<char* const*>(engine.command), environ);
    } else {
        const std::string path = std::string("./") + engine.exe_name;
        char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
        failed = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    }
    if (failed)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace

int EngineProcess::start_engine() {
    open_engine_log();
    // A write to an engine that has exited must fail, not kill the referee with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);

    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    const bool piped = pipe2(input, O_CLOEXEC) == 0 && pipe2(output, O_CLOEXEC) == 0;
    engine_in_read = input[0];
    engine_in_write = input[1];
    engine_out_read = output[0];
    engine_out_write = output[1];

    const pid_t pid = piped ? spawn_engine(*this) : -1;
    if (pid < 0) {
        close_handle(engine_in_read);
        close_handle(engine_out_write);
        close_handle(engine_out_read);
        close_handle(engine_in_write);
        return 0;
    }
    process_info.process = pid;
    process_info.process_id = static_cast<uint32_t>(pid);
    close_handle(engine_in_read);
    close_handle(engine_out_write);

    // Set before the reader exists, so that the reader sees it even if the engine ends at
    // once. The thread is kept joinable and never joined, like the thread handle on
    // Windows: it ends with the engine's output, and only tests wait for it.
    running = 1;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, reader_entry, this) != 0) {
        running = 0;
        return 0;
    }
    // A pthread_t is the thread's only id here; reader_thread_id stays 0.
    reader_thread = static_cast<PlatformHandle>(thread);
    return 1;
}

int EngineProcess::send_line(const char* text) {
    if (engine_in_write == NO_HANDLE)
        return 0;
    const char* rest = text;
    size_t left = std::strlen(text);
    // A blocking pipe takes the whole text in one write unless a signal cuts it short.
    while (left > 0) {
        const ssize_t written = write(static_cast<int>(engine_in_write), rest, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return 0;
        rest += written;
        left -= static_cast<size_t>(written);
    }
    return 1;
}

void close_engine_input(EngineProcess& engine) {
    close_handle(engine.engine_in_write);
}

int read_engine_output(EngineProcess& engine, char* chunk, int size) {
    for (;;) {
        const ssize_t length = read(static_cast<int>(engine.engine_out_read), chunk, size);
        if (length >= 0)
            return static_cast<int>(length);
        if (errno != EINTR)
            return 0;
    }
}
