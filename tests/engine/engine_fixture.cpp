#include "engine_fixture.h"

#include "engine/engine_io.h"
#include "fake_window.h"
#include "os/file.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/move.h"
#include "referee/window.h"
#include "test_os.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A name no other test run uses at the same time.
fs::path fresh_folder() {
    static std::atomic<int> serial{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name =
        "fendrel-engine-test-" + std::to_string(now) + "-" + std::to_string(serial++);
    fs::path folder = fs::temp_directory_path() / name;
    fs::create_directories(folder);
    return folder;
}

// Waits for one engine's reader and releases what the referee holds of it.
void release_engine(EngineProcess& engine) {
    // Should the referee still hold the engine's own ends, the reader would never see the
    // end of the output: the test then fails on what it checks rather than hanging here.
    close_handle(engine.engine_in_read);
    close_handle(engine.engine_out_write);
    join_thread(engine.reader_thread);
    engine.reader_thread = NO_HANDLE;
    close_handle(engine.engine_out_read);
    end_engine_input(engine);
    // The referee keeps the name for the life of the process; the next test starts afresh.
    delete[] engine.engine_name;
    engine.engine_name = nullptr;
}

} // namespace

void EngineTest::SetUp() {
    previous_folder = fs::current_path();
    folder = fresh_folder();
    fs::current_path(folder);
    close_engine_log();
    fake_window::reset();
    new (&engine1) EngineProcess();
    new (&engine2) EngineProcess();
    init_board(game_board);
    game_board.last_move_cell = 0;
    side1_clock_ms = side2_clock_ms = increment_ms = turn_start_tick = 0;
}

void EngineTest::TearDown() {
    finish_feeding();
    end_engines();
    close_engine_log();
    fs::current_path(previous_folder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void EngineTest::install(const char* program, const char* name, const char* suffix,
                         const std::string& content) {
    const fs::path built = fs::path(TEST_ENGINE_DIR) / (std::string(program) + TEST_ENGINE_SUFFIX);
    fs::copy_file(built, folder / (std::string(name) + ".exe"),
                  fs::copy_options::overwrite_existing);
    std::ofstream(folder / (std::string(name) + suffix), std::ios::binary) << content;
}

void EngineTest::install_script(const char* name, const std::string& script) {
    install("scripted_engine", name, ".script", script);
}

void EngineTest::install_chaos(const char* name, const std::string& mode) {
    install("chaos_engine", name, ".mode", mode);
}

int EngineTest::start(EngineProcess& engine, const char* exe_name) {
    std::strncpy(engine.exe_name, exe_name, sizeof engine.exe_name - 1);
    int started = 0;
    on_window([&] { started = engine.start_engine(); });
    return started;
}

void EngineTest::start_game_on_window() {
    on_window(start_game);
}

void EngineTest::on_window(const std::function<void()>& work) {
    window_run_and_wait([](void* arg) { (*static_cast<const std::function<void()>*>(arg))(); },
                        const_cast<std::function<void()>*>(&work));
}

int EngineTest::send_on_window(EngineProcess& engine, const char* text) {
    int sent = -1;
    on_window([&] { sent = engine.send_line(text); });
    return sent;
}

int EngineTest::running_on_window(EngineProcess& engine) {
    int running = -1;
    on_window([&] { running = engine.running; });
    return running;
}

void EngineTest::end_engines() {
    // Every process goes first, so that no reader stays blocked writing to the other engine.
    kill_engine(engine1);
    kill_engine(engine2);
    release_engine(engine1);
    release_engine(engine2);
}

void EngineTest::attach_pipe(EngineProcess& engine) {
    make_pipe(engine.engine_out_read, feed_end);
}

void EngineTest::feed(const std::vector<std::string>& writes) {
    feeder = std::thread([this, writes] {
        std::uintmax_t logged = 0;
        for (const std::string& bytes : writes) {
            wait_until([&] {
                std::error_code error;
                const std::uintmax_t size = fs::file_size(folder / "log.txt", error);
                return logged == 0 || (!error && size >= logged);
            });
            write_handle(feed_end, bytes.data(), bytes.size());
            logged += as_logged(bytes).size();
        }
        close_handle(feed_end);
    });
}

void EngineTest::finish_feeding() {
    if (feeder.joinable())
        feeder.join();
    close_handle(feed_end);
}

std::string EngineTest::file_content(const std::string& name) const {
    return whole_file((folder / name).string());
}

bool EngineTest::wait_until(const std::function<bool()>& condition) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > give_up)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool EngineTest::wait_for_status(int part, const std::string& text) {
    return wait_until([&] { return fake_window::status_text(part) == text; });
}

bool EngineTest::wait_for_event(const std::string& text) {
    return wait_until([&] { return count_events(text) > 0; });
}

int EngineTest::count_events(const std::string& text) {
    int count = 0;
    for (const std::string& event : fake_window::events())
        count += event == text;
    return count;
}

bool is_interleaving(const std::string& text, const std::string& a, const std::string& b) {
    if (text.size() != a.size() + b.size())
        return false;
    // reachable[j]: the first i + j bytes of text interleave a's first i and b's first j.
    std::vector<char> reachable(b.size() + 1, 0);
    for (size_t i = 0; i <= a.size(); ++i) {
        for (size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 && j == 0) {
                reachable[0] = 1;
                continue;
            }
            const char c = text[i + j - 1];
            const bool from_a = i > 0 && reachable[j] && a[i - 1] == c;
            const bool from_b = j > 0 && reachable[j - 1] && b[j - 1] == c;
            reachable[j] = from_a || from_b;
        }
    }
    return reachable[b.size()];
}
