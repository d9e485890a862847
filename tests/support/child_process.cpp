#include "child_process.h"

namespace {

// Waits until the child writes something, up to the timeout, and appends it to pending;
// false on a timeout or once the child's output has ended.
bool read_child_output(ChildProcess& child, std::chrono::milliseconds timeout) {
    if (!wait_readable(child.output, static_cast<int>(timeout.count())))
        return false;
    char buffer[4096];
    const int length = read_handle(child.output, buffer, sizeof buffer);
    if (length <= 0)
        return false;
    child.pending.append(buffer, static_cast<size_t>(length));
    return true;
}

} // namespace

bool start_child(ChildProcess& child, const std::string& program,
                 const std::vector<std::string>& arguments) {
    OsHandle input_end = NO_HANDLE;
    OsHandle output_end = NO_HANDLE;
    if (!make_pipe(input_end, child.input))
        return false;
    if (!make_pipe(child.output, output_end)) {
        close_handle(input_end);
        close_handle(child.input);
        return false;
    }
    ProgramStart start;
    start.program = program;
    start.arguments = arguments;
    start.input = ChildStream::to(input_end);
    start.output = ChildStream::to(output_end);
    start.error = ChildStream::to(output_end);
    const bool started = start_program(start, child.process);
    close_handle(input_end);
    close_handle(output_end);
    child.pending.clear();
    if (!started)
        end_child(child);
    return started;
}

bool write_to_child(ChildProcess& child, const std::string& text) {
    return write_handle(child.input, text.data(), text.size());
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
        if (left.count() <= 0 || !read_child_output(child, left))
            return false;
    }
}

void close_child_input(ChildProcess& child) {
    close_handle(child.input);
}

int wait_child_exit(ChildProcess& child, std::chrono::milliseconds timeout) {
    int status = 0;
    if (!wait_for_exit(child.process, static_cast<int>(timeout.count()), status))
        return -1;
    return exit_code_of(status);
}

void end_child(ChildProcess& child) {
    kill_process(child.process);
    close_handle(child.input);
    close_handle(child.output);
}
