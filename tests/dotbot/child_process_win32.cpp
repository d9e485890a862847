#include "child_process.h"

#include <windows.h>

#include <thread>

namespace {

HANDLE as_handle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}
std::intptr_t from_handle(HANDLE h) {
    return reinterpret_cast<std::intptr_t>(h);
}

// A Linux path of the build tree as Wine reaches it: the Z: drive is the root.
std::string windows_path(const std::string& path) {
    std::string out = !path.empty() && path[0] == '/' ? "Z:" : "";
    out += path;
    for (char& c : out) {
        if (c == '/')
            c = '\\';
    }
    return out;
}

// Closes a handle field and marks it gone.
void close_field(std::intptr_t& field) {
    if (field != -1)
        CloseHandle(as_handle(field));
    field = -1;
}

} // namespace

bool start_child(ChildProcess& child, const std::string& program,
                 const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE in_read = nullptr;
    HANDLE in_write = nullptr;
    HANDLE out_read = nullptr;
    HANDLE out_write = nullptr;
    if (!CreatePipe(&in_read, &in_write, &inherit, 0))
        return false;
    if (!CreatePipe(&out_read, &out_write, &inherit, 0)) {
        CloseHandle(in_read);
        CloseHandle(in_write);
        return false;
    }
    // Only the child's ends may be inherited, or the child would hold its own input open.
    SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);

    std::string command = "\"";
    command += windows_path(program);
    command += '"';
    for (const std::string& argument : arguments) {
        command += ' ';
        command += argument;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in_read;
    startup.hStdOutput = out_write;
    startup.hStdError = out_write;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(in_read);
    CloseHandle(out_write);
    if (!started) {
        CloseHandle(in_write);
        CloseHandle(out_read);
        return false;
    }
    CloseHandle(info.hThread);
    child.process = from_handle(info.hProcess);
    child.input = from_handle(in_write);
    child.output = from_handle(out_read);
    child.pending.clear();
    return true;
}

bool write_to_child(ChildProcess& child, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(as_handle(child.input), text.data() + done,
                       static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

bool read_child_output(ChildProcess& child, std::chrono::milliseconds timeout) {
    // Anonymous pipes have no waiting with a timeout: poll what is there.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(as_handle(child.output), nullptr, 0, nullptr, &available, nullptr))
            return false;
        if (available > 0)
            break;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    char buffer[4096];
    DWORD n = 0;
    if (!ReadFile(as_handle(child.output), buffer, sizeof buffer, &n, nullptr) || n == 0)
        return false;
    child.pending.append(buffer, n);
    return true;
}

void close_child_input(ChildProcess& child) {
    close_field(child.input);
}

int wait_child_exit(ChildProcess& child, std::chrono::milliseconds timeout) {
    if (child.process == -1 ||
        WaitForSingleObject(as_handle(child.process), static_cast<DWORD>(timeout.count())) !=
            WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(as_handle(child.process), &code);
    close_field(child.process);
    return static_cast<int>(code);
}

void end_child(ChildProcess& child) {
    if (child.process != -1) {
        TerminateProcess(as_handle(child.process), 1);
        WaitForSingleObject(as_handle(child.process), INFINITE);
        close_field(child.process);
    }
    close_field(child.input);
    close_field(child.output);
}
