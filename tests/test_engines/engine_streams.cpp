#include "engine_streams.h"

#include "os/console.h"
#include "os/file.h"

#include <cstdio>

namespace {

std::string received;   // input read but not yet handed out as lines
std::string record_tag; // ".PID" when records are kept per process
std::FILE* transcript = nullptr;
std::FILE* output_record = nullptr;

// The program's path without its extension: "/tmp/t/Engine1" for "/tmp/t/Engine1.exe".
std::string program_base() {
    std::string path = own_program_path();
    const size_t name = path.find_last_of("/\\") + 1;
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot > name)
        path.resize(dot);
    return path;
}

// Appends bytes to a record file beside the program, opening it on first use.
void record(std::FILE*& file, const char* suffix, const char* data, size_t size) {
    if (!file)
        file = std::fopen((program_base() + record_tag + suffix).c_str(), "ab");
    if (!file)
        return;
    std::fwrite(data, 1, size, file);
    std::fflush(file);
}

} // namespace

std::string side_file_path(const char* suffix) {
    return program_base() + suffix;
}

void keep_records_per_process() {
    record_tag = '.';
    record_tag += std::to_string(own_process_id());
}

std::string read_side_file(const char* suffix) {
    return whole_file(side_file_path(suffix));
}

bool next_input_line(std::string& line) {
    size_t feed;
    while ((feed = received.find('\n')) == std::string::npos) {
        char chunk[65536];
        const int length = read_handle(standard_stream(0), chunk, sizeof chunk);
        if (length <= 0)
            return false;
        record(transcript, ".transcript", chunk, static_cast<size_t>(length));
        received.append(chunk, static_cast<size_t>(length));
    }
    line.assign(received, 0, feed);
    received.erase(0, feed + 1);
    return true;
}

bool write_stream(int stream, std::string_view text) {
    if (!write_handle(standard_stream(stream), text.data(), text.size()))
        return false;
    record(output_record, ".output", text.data(), text.size());
    return true;
}

bool write_output(std::string_view text) {
    return write_stream(1, text);
}
