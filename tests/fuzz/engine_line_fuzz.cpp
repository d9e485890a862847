// Fuzzes everything that reads an engine's output: read_line with its line cutter and log,
// and the move-line scanner. The input decides both the bytes the engine writes and how the
// pipe splits them into reads: each read takes its length from the end of the input and
// its bytes from the front. Checked on every input:
//   - no read asks for nothing or for more than the buffer's room;
//   - every line stays within 4095 bytes, holds no "\n", and is the engine's next text
//     without its NULs, cut where the rules say (a "\n", dropping a "\r" right after it that
//     had already been read, or a full buffer, whose "\n", if it comes next, only ends it);
//   - the log holds every byte read, NULs included, in order;
//   - a line is a move exactly when "%d%d" semantics, within 32 bits, find two numbers.
// It defines the pipes' side of the engine processes seam (read_engine_output, send_line);
// its other definitions: the programs' engine/engine_pipes.cpp and the tests' recording
// engines (tests/support/recording_engines.cpp).
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/protocol.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

FuzzedDataProvider* input = nullptr;
std::string written; // every byte the reads have handed over
EngineProcess engine;
// The private folder the log is written in, removed when the fuzzer exits, and the folder
// the fuzzer works in (where it leaves what it finds).
char log_folder[64];
char work_folder[4096];

// Stops the run on a broken property, naming it.
void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// One integer as strtoll reads it in base 10 (the same white space, sign and digits as
// "%d"), when it is there and fits in 32 bits.
bool oracle_int(const char*& text, int32_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return false;
    value = static_cast<int32_t>(number);
    text = end;
    return true;
}

// Compares the scanner's verdict on a line with the oracle's.
void check_parse(const char* line) {
    int32_t x = 0;
    int32_t y = 0;
    const EngineLine kind = parse_engine_line(line, &x, &y);
    if (std::strncmp(line, "move ", 5) != 0) {
        check(kind == EngineLine::message, "a line not starting with \"move \" is a message");
        return;
    }
    const char* p = line + 5;
    int32_t ox = 0;
    int32_t oy = 0;
    const bool two = oracle_int(p, ox) && oracle_int(p, oy);
    check(kind == (two ? EngineLine::move : EngineLine::bad_move), "move line verdict");
    if (two)
        check(x == ox && y == oy, "move numbers");
}

// The whole content of the log file.
std::string log_content() {
    std::string content;
    std::FILE* file = std::fopen((std::string(log_folder) + "/log.txt").c_str(), "rb");
    check(file != nullptr, "log exists");
    char buffer[65536];
    size_t length;
    while ((length = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, length);
    std::fclose(file);
    return content;
}

} // namespace

// The pipe, played by the fuzz input.
int read_engine_output(EngineProcess&, char* chunk, int size) {
    check(size >= 1 && size <= ENGINE_LINE_SIZE - 1, "read size within the room");
    if (input->remaining_bytes() == 0)
        return 0;
    const int wanted = input->ConsumeIntegralInRange<int>(1, size);
    const std::string bytes = input->ConsumeBytesAsString(wanted);
    std::memcpy(chunk, bytes.data(), bytes.size());
    written += bytes;
    return static_cast<int>(bytes.size());
}

// Engine lines are only read here; nothing is sent.
int EngineProcess::send_line(const char*) {
    return 0;
}

// Removes the log and its folder.
void remove_log_folder() {
    close_engine_log();
    std::remove((std::string(log_folder) + "/log.txt").c_str());
    rmdir(log_folder);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The log is rewritten for every input: in memory where the system offers it, and in a
    // folder of its own rather than wherever the fuzzer was started.
    std::strcpy(log_folder, "/dev/shm/fendrel-fuzz-XXXXXX");
    if (!mkdtemp(log_folder)) {
        std::strcpy(log_folder, "/tmp/fendrel-fuzz-XXXXXX");
        check(mkdtemp(log_folder) != nullptr, "private folder");
    }
    std::atexit(remove_log_folder);
    check(getcwd(work_folder, sizeof work_folder) != nullptr, "working folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    input = &provider;
    written.clear();
    engine = EngineProcess();
    close_engine_log();
    // The log opens in the current folder; only it goes to the private one.
    check(chdir(log_folder) == 0, "into the log folder");
    open_engine_log();
    check(chdir(work_folder) == 0, "back to the working folder");

    std::string clean; // written without NULs: the text the lines are cut from
    size_t clean_from = 0;
    const auto catch_up = [&] {
        for (; clean_from < written.size(); ++clean_from) {
            if (written[clean_from] != '\0')
                clean += written[clean_from];
        }
    };
    size_t cut = 0;          // how much of clean the lines so far account for
    bool after_full = false; // the last line filled the buffer, and no feed had come yet
    // The feed that comes next after a full line only ends it; a "\r" right after goes too
    // if it had been read by then, which `keeps_return` tells when the text goes on with it.
    const auto skip_late_feed = [&](bool keeps_return) {
        if (after_full && cut < clean.size() && clean[cut] == '\n') {
            ++cut;
            if (cut < clean.size() && clean[cut] == '\r' && !keeps_return)
                ++cut;
        }
    };
    while (const char* line = engine.read_line()) {
        const size_t length = std::strlen(line);
        check(length <= ENGINE_LINE_SIZE - 1, "line within 4095 bytes");
        check(std::memchr(line, '\n', length) == nullptr, "no line feed in a line");
        catch_up();
        // The line goes on to its own feed, or fills the buffer.
        const auto fits = [&](size_t at) {
            return at <= clean.size() && clean.compare(at, length, line) == 0 &&
                   ((at + length < clean.size() && clean[at + length] == '\n') ||
                    length == ENGINE_LINE_SIZE - 1);
        };
        skip_late_feed(!fits(cut + 2));
        check(clean.compare(cut, length, line) == 0, "line is the next text");
        cut += length;
        after_full = false;
        if (cut < clean.size() && clean[cut] == '\n') {
            ++cut;
            // A "\r" right after the feed goes with it if it had been read by then.
            if (cut < clean.size() && clean[cut] == '\r')
                ++cut;
        } else {
            check(length == ENGINE_LINE_SIZE - 1, "a line without a feed fills the buffer");
            after_full = true;
        }
        check_parse(line);
    }
    catch_up();
    const std::string pending(engine.pending, engine.pending_length);
    skip_late_feed(cut + 2 > clean.size() || clean.substr(cut + 2) != pending);
    const std::string rest = clean.substr(cut);
    check(rest.find('\n') == std::string::npos && rest.size() < ENGINE_LINE_SIZE - 1,
          "only an unfinished line is left");
    check(rest == pending, "pending holds the rest");
    check(log_content() == written, "log holds every byte read");
    return 0;
}
