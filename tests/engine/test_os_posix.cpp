#include "test_os.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

void make_test_pipe(PlatformHandle& read_end, PlatformHandle& write_end) {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    read_end = ends[0];
    write_end = ends[1];
}

void write_test_pipe(PlatformHandle write_end, const std::string& bytes) {
    const ssize_t written = write(static_cast<int>(write_end), bytes.data(), bytes.size());
    (void)written;
}

void close_test_handle(PlatformHandle& end) {
    if (end != NO_HANDLE)
        close(static_cast<int>(end));
    end = NO_HANDLE;
}

void end_child_process(ProcessInfo& info) {
    if (info.process == NO_HANDLE)
        return;
    // Nothing else reaps the engines, so the id cannot have passed to another process.
    const pid_t pid = static_cast<pid_t>(info.process);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    info.process = NO_HANDLE;
}

void join_reader_thread(PlatformHandle thread) {
    if (thread != NO_HANDLE)
        pthread_join(static_cast<pthread_t>(thread), nullptr);
}

std::string as_logged(const std::string& bytes) {
    return bytes;
}

int open_handle_count() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}
