// A program run as a child with its standard input and output on pipes, for driving the
// built engines through the referee protocol in tests.
#pragma once

#include "os/process.h"

#include <chrono>
#include <string>
#include <vector>

struct ChildProcess {
    ProcessInfo process;
    OsHandle input = NO_HANDLE;  // the child's standard input, our end
    OsHandle output = NO_HANDLE; // the child's standard output and error, our end
    std::string pending;         // read but not yet returned as lines
};

// Starts program with the arguments; false when it cannot be started.
bool start_child(ChildProcess& child, const std::string& program,
                 const std::vector<std::string>& arguments);

// Writes the whole text to the child's input; false when the pipe is closed.
bool write_to_child(ChildProcess& child, const std::string& text);

// The next line the child writes, without its "\n"; false when none comes within the
// timeout or the child's output ends first.
bool read_child_line(ChildProcess& child, std::string& line, std::chrono::milliseconds timeout);

// Closes our end of the child's input, so that it reads the end of its input.
void close_child_input(ChildProcess& child);

// Waits up to the timeout for the child to exit: its exit code, or -1 if it has not.
int wait_child_exit(ChildProcess& child, std::chrono::milliseconds timeout);

// Ends the child by its process id if it still runs, reaps it and closes the pipes.
void end_child(ChildProcess& child);
