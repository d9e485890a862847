#include "child_process.h"

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
        dup2(from_child[1], 2);
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
    child.process = pid;
    child.input = to_child[1];
    child.output = from_child[0];
    child.pending.clear();
    return true;
}

bool write_to_child(ChildProcess& child, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n =
            write(static_cast<int>(child.input), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool read_child_output(ChildProcess& child, std::chrono::milliseconds timeout) {
    pollfd ready{static_cast<int>(child.output), POLLIN, 0};
    int polled;
    do {
        polled = poll(&ready, 1, static_cast<int>(timeout.count()));
    } while (polled < 0 && errno == EINTR);
    if (polled <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = read(static_cast<int>(child.output), buffer, sizeof buffer);
    if (n <= 0)
        return false;
    child.pending.append(buffer, static_cast<size_t>(n));
    return true;
}

void close_child_input(ChildProcess& child) {
    if (child.input >= 0)
        close(static_cast<int>(child.input));
    child.input = -1;
}

int wait_child_exit(ChildProcess& child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const auto pid = static_cast<pid_t>(child.process);
        if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
            child.process = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void end_child(ChildProcess& child) {
    if (child.process > 0) {
        const auto pid = static_cast<pid_t>(child.process);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        child.process = -1;
    }
    close_child_input(child);
    if (child.output >= 0)
        close(static_cast<int>(child.output));
    child.output = -1;
}
