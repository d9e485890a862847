// Pipes and the handles of their ends on POSIX systems (os/process.h). Every pipe end is
// close-on-exec: a started program gets only the copies posix_spawn puts on 0, 1 and 2.
#include "os/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

bool make_pipe(OsHandle& read_end, OsHandle& write_end) {
    // A write into a pipe whose reader has gone must fail, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0) {
        read_end = write_end = NO_HANDLE;
        return false;
    }
    read_end = ends[0];
    write_end = ends[1];
    return true;
}

void close_handle(OsHandle& handle) {
    if (handle != NO_HANDLE)
        close(static_cast<int>(handle));
    handle = NO_HANDLE;
}

int read_handle(OsHandle handle, char* buffer, int size) {
    for (;;) {
        const ssize_t length = read(static_cast<int>(handle), buffer, static_cast<size_t>(size));
        if (length >= 0)
            return static_cast<int>(length);
        if (errno != EINTR)
            return 0;
    }
}

bool write_handle(OsHandle handle, const char* data, size_t size) {
    // A blocking pipe takes the whole text in one write unless a signal cuts it short; one
    // that does not wait is given the rest once it has room.
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(handle), data, size);
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd room{static_cast<int>(handle), POLLOUT, 0};
            poll(&room, 1, -1);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void write_without_blocking(OsHandle handle) {
    const int fd = static_cast<int>(handle);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

bool write_now(OsHandle handle, const char* data, size_t size, size_t& written) {
    written = 0;
    while (written < size) {
        const ssize_t n = write(static_cast<int>(handle), data + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

int peek_pipe(OsHandle handle, char* buffer, int size) {
    // tee duplicates a pipe's bytes into another pipe without taking them: a private pipe,
    // read at once.
    static int copy[2] = {-1, -1};
    if (copy[0] < 0 && pipe2(copy, O_CLOEXEC | O_NONBLOCK) != 0)
        return 0;
    const ssize_t copied =
        tee(static_cast<int>(handle), copy[1], static_cast<size_t>(size), SPLICE_F_NONBLOCK);
    if (copied <= 0)
        return 0;
    int got = 0;
    while (got < copied) {
        const ssize_t n = read(copy[0], buffer + got, static_cast<size_t>(copied - got));
        if (n <= 0)
            break;
        got += static_cast<int>(n);
    }
    return got;
}

void shrink_pipe(OsHandle handle) {
    fcntl(static_cast<int>(handle), F_SETPIPE_SZ, 4096);
}

bool wait_readable(OsHandle handle, int wait_ms) {
    pollfd ready{static_cast<int>(handle), POLLIN, 0};
    int polled;
    do {
        polled = poll(&ready, 1, wait_ms);
    } while (polled < 0 && errno == EINTR);
    return polled > 0;
}
