#include "match/runner/interrupts.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t interrupt_count = 0;
int signal_pipe[2] = {-1, -1};

// Signal handler: counts the interrupt (SIGTERM as two) and wakes the loop.
void on_interrupt(int signal_number) {
    interrupt_count = interrupt_count + (signal_number == SIGTERM ? 2 : 1);
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = write(signal_pipe[1], "!", 1);
    errno = saved;
}

} // namespace

void catch_interrupts() {
    if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interrupts() {
    return interrupt_count;
}

int interrupt_signal_fd() {
    return signal_pipe[0];
}

void drain_interrupt_signal() {
    char drained[64];
    while (read(signal_pipe[0], drained, sizeof drained) > 0) {
    }
}
