// fendrel-bridge [--env NAME=VALUE]... [--exchange FILE] NAME -- PROGRAM ARGS...: an engine of
// the referee's line protocol on this program's standard streams, played by PROGRAM, which
// speaks protocol NAME on pipes. Each --env sets a variable in PROGRAM's environment (not the
// bridge's own); --exchange keeps every line the bridge sends PROGRAM and every line PROGRAM
// writes, each with its moment, in FILE (engine/exchange.h), which fendrel-match merges into
// the game's exchange log. Started without arguments, as the window programs start
// Engine1.exe, it takes the same words from the file beside it named as it is with the
// extension ".bridge" (Engine1.bridge), one word a line.
//
// Three reader threads only read (the referee's lines on standard input, the engine's
// output, the engine's standard error) and queue what they read; the main thread alone cuts
// lines, runs the translation and writes, and wakes for the earliest deadline of an answer.
#include "bridge/translator.h"
#include "engine/engine_process.h"
#include "engine/exchange.h"
#include "engine/line_cutter.h"
#include "os/console.h"
#include "os/file.h"
#include "os/process.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int QUIT_WAIT_MS = 500; // less than the referee waits for the bridge to quit
constexpr int READ_SIZE = 65536;

enum Source { REFEREE, ENGINE_OUTPUT, ENGINE_ERROR, SOURCES };

struct Chunk {
    Source source;
    std::string bytes; // empty: the end of that source
};

// What the readers read and the main thread has not taken. Never destroyed: the readers
// still block in their reads when the program ends, and one that wakes then must not find
// the lock gone.
struct ReadQueue {
    std::mutex lock;
    std::condition_variable filled;
    std::deque<Chunk> chunks;
};
ReadQueue& queue = *new ReadQueue;

void read_source(Source source, OsHandle handle) {
    std::string buffer(READ_SIZE, '\0');
    for (;;) {
        const int got = read_handle(handle, buffer.data(), READ_SIZE);
        std::lock_guard<std::mutex> hold(queue.lock);
        queue.chunks.push_back({source, got > 0 ? buffer.substr(0, got) : std::string()});
        queue.filled.notify_one();
        if (got <= 0)
            return;
    }
}

// Lines of one source, cut as the referee cuts an engine's output.
struct Cutter {
    char pending[ENGINE_LINE_SIZE];
    int length = 0;
    bool after_full = false;
};

struct Link {
    Bridge bridge;
    OsHandle engine_input = NO_HANDLE;
    Cutter cutters[SOURCES];
    bool ended[SOURCES] = {};
    std::deque<Chunk> left;        // read after the translation finished, for the ending
    bool failure_last = false;     // the last line written to the referee says why it failed
    std::FILE* exchange = nullptr; // --exchange: the side file
    std::string records;           // its records not written yet
};

// Notes each line of `text` in the side file's records, at this moment.
void record_lines(Link& link, const char* mark, const std::string& text) {
    const uint64_t now = monotonic_us();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        append_bridge_record(link.records, now, mark, text.data() + start, end - start);
        start = end + 1;
    }
}

// Writes the records noted since the last time, in one write.
void write_records(Link& link) {
    if (!link.exchange || link.records.empty())
        return;
    std::fwrite(link.records.data(), 1, link.records.size(), link.exchange);
    std::fflush(link.exchange);
    link.records.clear();
}

void write_out(Link& link, BridgeOutput& out) {
    if (!out.to_engine.empty() && link.exchange)
        record_lines(link, BRIDGE_RECORD_SENT, out.to_engine);
    write_records(link);
    if (!out.to_engine.empty())
        write_handle(link.engine_input, out.to_engine.data(), out.to_engine.size());
    if (!out.to_referee.empty()) {
        write_handle(standard_stream(1), out.to_referee.data(), out.to_referee.size());
        const std::string& failure = link.bridge.failure;
        link.failure_last = !failure.empty() && out.to_referee.size() >= failure.size() &&
                            out.to_referee.compare(out.to_referee.size() - failure.size(),
                                                   failure.size(), failure) == 0;
    }
    out.to_engine.clear();
    out.to_referee.clear();
}

void take_line(Link& link, Source source, const char* line, BridgeOutput& out) {
    if (link.exchange && source != REFEREE)
        record_lines(link, source == ENGINE_ERROR ? BRIDGE_RECORD_STDERR : BRIDGE_RECORD_OUTPUT,
                     std::string(line) + "\n");
    const uint32_t now = monotonic_ms();
    if (source == REFEREE)
        bridge_referee_line(link.bridge, line, now, out);
    else
        bridge_engine_line(link.bridge, line, source == ENGINE_ERROR ? "stderr" : "", now, out);
}

// The text of a source that no line feed ended, as a last line of its own.
void take_rest(Link& link, Source source, BridgeOutput& out) {
    Cutter& cutter = link.cutters[source];
    char line[ENGINE_LINE_SIZE];
    while (cut_line(cutter.pending, cutter.length, line, cutter.after_full))
        take_line(link, source, line, out);
    if (cutter.length == 0)
        return;
    cutter.pending[cutter.length] = '\0';
    cutter.length = 0;
    take_line(link, source, cutter.pending, out);
}

void take_chunk(Link& link, const Chunk& chunk, BridgeOutput& out) {
    if (chunk.bytes.empty()) {
        link.ended[chunk.source] = true;
        take_rest(link, chunk.source, out);
        if (chunk.source == REFEREE)
            bridge_referee_line(link.bridge, "quit", monotonic_ms(), out);
        else if (chunk.source == ENGINE_OUTPUT)
            bridge_engine_ended(link.bridge, out);
        return;
    }
    Cutter& cutter = link.cutters[chunk.source];
    char line[ENGINE_LINE_SIZE];
    size_t offset = 0;
    for (;;) {
        // Once the translation has finished, the engine's lines are only passed on.
        while (cut_line(cutter.pending, cutter.length, line, cutter.after_full))
            take_line(link, chunk.source, line, out);
        if (offset == chunk.bytes.size())
            return;
        const size_t room = static_cast<size_t>(pending_room(cutter.length));
        const size_t part = std::min(room, chunk.bytes.size() - offset);
        append_chunk(cutter.pending, cutter.length, chunk.bytes.data() + offset,
                     static_cast<int>(part));
        offset += part;
    }
}

// Waits for what the readers read, until the tick `until` when `timed`; what they read.
std::deque<Chunk> next_chunks(bool timed, uint32_t until) {
    std::unique_lock<std::mutex> hold(queue.lock);
    if (timed) {
        const int32_t wait = static_cast<int32_t>(until - monotonic_ms());
        queue.filled.wait_for(hold, std::chrono::milliseconds(wait > 0 ? wait : 0),
                              [] { return !queue.chunks.empty(); });
    } else {
        queue.filled.wait(hold, [] { return !queue.chunks.empty(); });
    }
    std::deque<Chunk> taken;
    taken.swap(queue.chunks);
    return taken;
}

// Runs the translation until it is finished; true when the engine failed.
bool run_link(Link& link) {
    BridgeOutput out;
    std::random_device entropy;
    open_bridge(link.bridge, link.bridge.protocol, entropy(), monotonic_ms(), out);
    write_out(link, out);
    while (!out.finished) {
        uint32_t deadline = 0;
        const bool timed = bridge_deadline(link.bridge, deadline);
        for (const Chunk& chunk : next_chunks(timed, deadline)) {
            if (out.finished)
                link.left.push_back(chunk);
            else
                take_chunk(link, chunk, out);
        }
        bridge_check_time(link.bridge, monotonic_ms(), out);
        write_out(link, out);
    }
    return out.failed;
}

// After the end: passes on all that the engine still writes until its output and standard
// error end, or for at most wait_ms, so that the referee's log loses nothing of it. When the
// engine failed, the failure line comes again last, where the referee looks for why.
void pass_on_the_rest(Link& link, int wait_ms) {
    BridgeOutput out;
    const uint32_t until = monotonic_ms() + static_cast<uint32_t>(wait_ms);
    std::deque<Chunk> taken;
    taken.swap(link.left);
    for (;;) {
        for (const Chunk& chunk : taken)
            if (chunk.source != REFEREE)
                take_chunk(link, chunk, out);
        const bool over = static_cast<int32_t>(until - monotonic_ms()) <= 0;
        if ((link.ended[ENGINE_OUTPUT] && link.ended[ENGINE_ERROR]) || over)
            break;
        taken = next_chunks(true, until);
    }
    take_rest(link, ENGINE_OUTPUT, out);
    take_rest(link, ENGINE_ERROR, out);
    close_bridge(link.bridge, out);
    write_out(link, out);
    if (!link.bridge.failure.empty() && !link.failure_last) {
        out.to_referee = link.bridge.failure;
        write_out(link, out);
    }
}

const char USAGE[] =
    "usage: fendrel-bridge [--env NAME=VALUE]... [--exchange FILE] [--nearest-rules] "
    "pointsai|gtp -- PROGRAM [ARGUMENT...]\n"
    "   --nearest-rules: gtp under the fendrel rules, which the KataGo dots fork has not, plays\n"
    "   its nearest (empty bases captured) instead of failing\n"
    "   or, without arguments, the same words a line each in PROGRAM.bridge beside it\n";

// The options before the protocol's name: their words are taken out of `words`; false on
// an option it does not know or one without its value.
bool take_options(std::vector<std::string>& words, std::vector<std::string>& environment,
                  std::string& exchange, bool& nearest_rules) {
    size_t i = 0;
    while (i < words.size() && words[i].rfind("--", 0) == 0 && words[i] != "--") {
        if (words[i] == "--nearest-rules") {
            nearest_rules = true;
            ++i;
            continue;
        }
        if (i + 1 >= words.size())
            return false;
        if (words[i] == "--env" && words[i + 1].find('=') != std::string::npos &&
            words[i + 1][0] != '=')
            environment.push_back(words[i + 1]);
        else if (words[i] == "--exchange")
            exchange = words[i + 1];
        else
            return false;
        i += 2;
    }
    words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

// The command line: the arguments, or without any the lines of the file beside the program.
std::vector<std::string> command_words(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (argc > 1)
        return words;
    std::string path = own_program_path();
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && path.find_first_of("/\\", dot) == std::string::npos)
        path.erase(dot);
    const std::string text = whole_file(path + ".bridge");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(start, end - start);
        if (!word.empty() && word.back() == '\r')
            word.pop_back();
        if (!word.empty())
            words.push_back(word);
        start = end + 1;
    }
    return words;
}

} // namespace

int main(int argc, char** argv) {
    use_binary_console();
    Link link;
    std::vector<std::string> words = command_words(argc, argv);
    ProgramStart start;
    std::string exchange;
    if (!take_options(words, start.environment_changes, exchange, link.bridge.nearest_rules) ||
        words.size() < 3 || words[1] != "--" || !protocol_named(words[0], link.bridge.protocol)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    // A side file that cannot be written is only missing from the log: nothing may come
    // before the name line that the referee reads first.
    if (!exchange.empty())
        link.exchange = create_private_text_file(exchange.c_str());
    start.program = words[2];
    start.arguments.assign(words.begin() + 3, words.end());
    // Its pipes are its only streams: on Windows a console of its own would open a window.
    start.without_console = true;
    OsHandle input_read = NO_HANDLE, output_read = NO_HANDLE, error_read = NO_HANDLE;
    OsHandle output_write = NO_HANDLE, error_write = NO_HANDLE;
    ProcessInfo engine;
    const bool started =
        make_pipe(input_read, link.engine_input) && make_pipe(output_read, output_write) &&
        make_pipe(error_read, error_write) &&
        (start.input = ChildStream::to(input_read), start.output = ChildStream::to(output_write),
         start.error = ChildStream::to(error_write), start_program(start, engine));
    close_handle(input_read);
    close_handle(output_write);
    close_handle(error_write);
    if (!started) {
        const std::string text = std::string(protocol_name(link.bridge.protocol)) + " engine\n" +
                                 protocol_name(link.bridge.protocol) +
                                 " engine failed: cannot start " + start.program + "\n";
        write_handle(standard_stream(1), text.data(), text.size());
        return 1;
    }
    // The readers block in their reads for as long as their sources are open; they end with
    // the program.
    std::thread(read_source, REFEREE, standard_stream(0)).detach();
    std::thread(read_source, ENGINE_OUTPUT, output_read).detach();
    std::thread(read_source, ENGINE_ERROR, error_read).detach();
    const bool failed = run_link(link);
    if (failed)
        kill_process(engine);
    pass_on_the_rest(link, QUIT_WAIT_MS);
    int status = 0;
    if (!wait_for_exit(engine, 0, status))
        kill_process(engine);
    if (link.exchange)
        std::fclose(link.exchange);
    return failed ? 1 : 0;
}
