#include "child_process.h"

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
