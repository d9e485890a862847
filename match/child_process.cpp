#include "match/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

namespace {

// Polling interval while waiting for a child with a time limit.
constexpr int POLL_MS = 5;

// User and system CPU time of RUSAGE_SELF or RUSAGE_CHILDREN, in milliseconds.
int64_t cpu_ms(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return int64_t{t.tv_sec} * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Reaps the child if it has ended; true with its status then, also when it cannot be waited
// for at all (already reaped), so that nobody waits for it again.
bool reap_if_ended(pid_t pid, int& status) {
    const pid_t result = waitpid(pid, &status, WNOHANG);
    if (result == pid)
        return true;
    if (result < 0 && errno != EINTR) {
        status = 0;
        return true;
    }
    return false;
}

} // namespace

bool wait_for_child(pid_t pid, int wait_ms, int& status) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        if (reap_if_ended(pid, status))
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
}

void end_children(const std::vector<pid_t>& pids, int grace_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(grace_ms);
    std::vector<pid_t> running = pids;
    while (!running.empty()) {
        int status = 0;
        for (size_t i = 0; i < running.size();) {
            if (reap_if_ended(running[i], status))
                running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            else
                ++i;
        }
        if (running.empty() || std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
    for (const pid_t pid : running) {
        kill(pid, SIGKILL);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

std::string describe_wait_status(int status) {
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
