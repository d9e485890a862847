#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

bool start_child(ChildProcess& child, const std::string& program,
                 const std::vector<std::string>& arguments) {
    int to_child[2];
    int from_child[2];
    if (pipe(to_child) != 0)
        return false;
    if (pipe(from_child) != 0) {
        close(to_child[0]);
        close(to_child[1]);
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(to_child[0], 0);
        dup2(from_child[1], 1);
        close(to_child[0]);
        close(to_child[1]);
        close(from_child[0]);
        close(from_child[1]);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    if (pid < 0) {
        close(to_child[1]);
        close(from_child[0]);
        return false;
    }
    // A child that has exited must not take the test down with SIGPIPE on our next write.
    signal(SIGPIPE, SIG_IGN);
    child.pid = pid;
    child.input = to_child[1];
    child.output = from_child[0];
    child.pending.clear();
    return true;
}

bool write_to_child(ChildProcess& child, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(child.input, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool read_child_line(ChildProcess& child, std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const size_t end = child.pending.find('\n');
        if (end != std::string::npos) {
            line = child.pending.substr(0, end);
            child.pending.erase(0, end + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready{child.output, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = read(child.output, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        child.pending.append(buffer, static_cast<size_t>(n));
    }
}

void close_child_input(ChildProcess& child) {
    if (child.input >= 0)
        close(child.input);
    child.input = -1;
}

int wait_child_exit(ChildProcess& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (child.pid > 0 && waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void end_child(ChildProcess& child) {
    if (child.pid > 0) {
        kill(child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
        child.pid = -1;
    }
    close_child_input(child);
    if (child.output >= 0)
        close(child.output);
    child.output = -1;
}
