// The operating system's side on POSIX systems (os/process.h, os/console.h).
//
// Every descriptor this program opens for a child is close-on-exec, so a started program
// holds only its three standard streams: posix_spawn's dup2 onto 0, 1 and 2 clears the flag
// on those copies alone.
#include "os/console.h"
#include "os/file.h"
#include "os/process.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Polling interval while waiting for a child with a time limit.
constexpr int EXIT_POLL_MS = 2;

// Signals that a program may have set to be ignored, which a started program would
// otherwise inherit ignored.
constexpr int RESET_SIGNALS[] = {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Whether path is a file this program may execute.
bool is_program_file(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Connects one standard stream of the child as `stream` says.
void add_stream(posix_spawn_file_actions_t& actions, const ChildStream& stream, int number) {
    if (stream.kind == ChildStream::Kind::null_device)
        posix_spawn_file_actions_addopen(&actions, number, "/dev/null",
                                         number == 0 ? O_RDONLY : O_WRONLY, 0);
    else if (stream.kind == ChildStream::Kind::handle)
        posix_spawn_file_actions_adddup2(&actions, static_cast<int>(stream.handle), number);
}

// This program's environment with the changes ("NAME=VALUE") made.
std::vector<std::string> changed_environment(const std::vector<std::string>& changes) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& change : changes)
            replaced = replaced || change.rfind(name, 0) == 0;
        if (!replaced)
            variables.push_back(entry);
    }
    variables.insert(variables.end(), changes.begin(), changes.end());
    return variables;
}

// Pointers to the strings, ending in nullptr, as exec takes them.
std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& s : strings)
        list.push_back(s.data());
    list.push_back(nullptr);
    return list;
}

// User and system CPU time of a resource usage, in milliseconds, rounded to the nearest: the
// sums of many programs' times (each engine's, each game's) then carry no drift.
int64_t usage_ms(const rusage& usage) {
    const auto us = [](const timeval& t) { return int64_t{t.tv_sec} * 1000000 + t.tv_usec; };
    return (us(usage.ru_utime) + us(usage.ru_stime) + 500) / 1000;
}

// Reaps the child if it has ended; true with its status and CPU time then, also when it
// cannot be waited for at all (already reaped elsewhere: its CPU time stays unknown), so that
// nobody waits for it again.
bool reap_if_ended(pid_t pid, int& status, int64_t& cpu) {
    rusage usage{};
    const pid_t result = wait4(pid, &status, WNOHANG, &usage);
    if (result == pid) {
        cpu = usage_ms(usage);
        return true;
    }
    if (result < 0 && errno != EINTR) {
        status = 0;
        return true;
    }
    return false;
}

// User and system CPU time of RUSAGE_SELF or RUSAGE_CHILDREN, in milliseconds.
int64_t cpu_ms(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage_ms(usage);
}

struct ThreadStart {
    void (*fn)(void*);
    void* arg;
};

void* thread_entry(void* start) {
    const ThreadStart run = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    run.fn(run.arg);
    return nullptr;
}

} // namespace

bool start_program(const ProgramStart& start, ProcessInfo& process) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    add_stream(actions, start.input, 0);
    add_stream(actions, start.output, 1);
    add_stream(actions, start.error, 2);
    if (!start.directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, start.directory.c_str());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (const int signal_number : RESET_SIGNALS)
        sigaddset(&signals, signal_number);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (start.own_process_group) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);

    std::vector<std::string> words = {start.program};
    words.insert(words.end(), start.arguments.begin(), start.arguments.end());
    std::vector<char*> argv = pointers(words);
    std::vector<std::string> variables = changed_environment(start.environment_changes);
    std::vector<char*> envp = pointers(variables);
    pid_t pid = -1;
    const bool named_path = start.program.find('/') != std::string::npos;
    const int failed = named_path ? posix_spawn(&pid, start.program.c_str(), &actions, &attributes,
                                                argv.data(), envp.data())
                                  : posix_spawnp(&pid, start.program.c_str(), &actions, &attributes,
                                                 argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        return false;
    process.process = pid;
    process.process_id = static_cast<uint32_t>(pid);
    process.group = start.own_process_group ? pid : NO_HANDLE;
    return true;
}

ProgramStart engine_program_start(const char* name) {
    ProgramStart start;
    start.program = std::string("./") + name;
    start.own_process_group = true;
    return start;
}

bool can_start_program(const std::string& command) {
    if (command.find('/') != std::string::npos)
        return is_program_file(command);
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/bin:/usr/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (is_program_file((folder.empty() ? "." : folder) + "/" + command))
            return true;
    return false;
}

bool wait_for_exit(ProcessInfo& process, int wait_ms, int& status) {
    if (process.process == NO_HANDLE)
        return false;
    const auto pid = static_cast<pid_t>(process.process);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        if (wait_ms < 0) {
            rusage usage{};
            pid_t result;
            while ((result = wait4(pid, &status, 0, &usage)) < 0 && errno == EINTR) {
            }
            if (result == pid)
                process.cpu_ms = usage_ms(usage);
            break;
        }
        if (reap_if_ended(pid, status, process.cpu_ms))
            break;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(EXIT_POLL_MS));
    }
    process.process = NO_HANDLE;
    return true;
}

void kill_process(ProcessInfo& process) {
    // A group's id stays taken while any process is in it, so it names no other program.
    if (process.group != NO_HANDLE)
        kill(-static_cast<pid_t>(process.group), SIGKILL);
    process.group = NO_HANDLE;
    if (process.process == NO_HANDLE)
        return;
    // Nothing else reaps this child, so its id cannot have passed to another program.
    kill(static_cast<pid_t>(process.process), SIGKILL);
    int status = 0;
    wait_for_exit(process, -1, status);
}

void end_process_group(ProcessInfo& process, int& status) {
    if (process.process == NO_HANDLE)
        return;
    const auto group = static_cast<pid_t>(process.process);
    // The group's id stays reserved while the program, its leader, is unreaped.
    kill(-group, SIGKILL);
    for (;;) {
        int member_status = 0;
        rusage usage{};
        const pid_t reaped = wait4(-group, &member_status, 0, &usage);
        if (reaped == group) {
            status = member_status;
            process.cpu_ms = usage_ms(usage);
        } else if (reaped < 0 && errno != EINTR) {
            break;
        }
    }
    process.process = NO_HANDLE;
    process.group = NO_HANDLE;
}

void adopt_orphans() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

int exit_code_of(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string describe_exit_status(int status) {
    if (WIFEXITED(status))
        return "exited with code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "ended";
}

int64_t own_cpu_ms() {
    return cpu_ms(RUSAGE_SELF);
}

int64_t children_cpu_ms() {
    return cpu_ms(RUSAGE_CHILDREN);
}

OsHandle start_thread(void (*fn)(void*), void* arg) {
    auto* start = new ThreadStart{fn, arg};
    pthread_t thread;
    if (pthread_create(&thread, nullptr, thread_entry, start) != 0) {
        delete start;
        return NO_HANDLE;
    }
    return static_cast<OsHandle>(thread);
}

void join_thread(OsHandle& thread) {
    if (thread != NO_HANDLE)
        pthread_join(static_cast<pthread_t>(thread), nullptr);
    thread = NO_HANDLE;
}

bool join_thread_within(OsHandle& thread, int wait_ms) {
    if (thread == NO_HANDLE)
        return true;
    timespec until{};
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += wait_ms / 1000;
    until.tv_nsec += static_cast<long>(wait_ms % 1000) * 1000000;
    if (until.tv_nsec >= 1000000000) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000;
    }
    const auto id = static_cast<pthread_t>(thread);
    const bool joined = pthread_timedjoin_np(id, nullptr, &until) == 0;
    if (!joined)
        pthread_detach(id);
    thread = NO_HANDLE;
    return joined;
}

uint32_t monotonic_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

uint64_t monotonic_us() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

int count_open_handles() {
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(folder))
            count += entry->d_name[0] != '.';
        closedir(folder);
        --count; // the folder's own descriptor
    }
    return count;
}

OsHandle stream_handle(std::FILE* stream) {
    return fileno(stream);
}

std::vector<OsHandle> handles_beyond_standard_streams(const std::vector<OsHandle>&) {
    std::vector<OsHandle> found;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(folder)) {
            const int fd = std::atoi(entry->d_name);
            if (entry->d_name[0] != '.' && fd > 2 && fd != dirfd(folder))
                found.push_back(fd);
        }
        closedir(folder);
    }
    return found;
}

std::FILE* create_private_text_file(const char* path) {
    return std::fopen(path, "we"); // "e": close-on-exec
}

OsHandle standard_stream(int number) {
    return number;
}

void use_binary_console() {}

bool is_terminal(OsHandle handle) {
    return isatty(static_cast<int>(handle)) == 1;
}

std::string own_program_path() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

uint32_t own_process_id() {
    return static_cast<uint32_t>(getpid());
}

const char* text_mode_line_end() {
    return "\n";
}
