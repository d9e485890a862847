// Tests of the engine link with real pipes and real child processes. Each test runs in a
// fresh folder of its own as the current directory, where it installs the built test
// engines (tests/test_engines/) as Engine1.exe and Engine2.exe with their script or mode files,
// with fresh engine1 and engine2 objects, a fresh recording window, a fresh board and no
// log open. At the end every engine started is killed by its process id, every reader
// thread has returned, and the folder is gone.
#pragma once

#include "engine/engine_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the built test engine `program` ("chaos_engine") into the folder as
    // `name` + ".exe", with `content` in its side file `name` + `suffix`.
    void install(const char* program, const char* name, const char* suffix,
                 const std::string& content);
    void install_script(const char* name, const std::string& script);
    void install_chaos(const char* name, const std::string& mode);

    // Sets exe_name and starts the engine on the window's thread, as start-up does.
    static int start(EngineProcess& engine, const char* exe_name);

    // Start-up (the referee's start_game) run as the window's thread runs it.
    static void start_game_on_window();

    // Runs work as the window's thread runs it: where the referee reads and writes
    // `running` and the game, and calls quit_engine.
    static void on_window(const std::function<void()>& work);
    // The engine's `running`, read on the window's thread.
    static int running_on_window(EngineProcess& engine);
    // send_line on the window's thread, where the referee writes to engines.
    static int send_on_window(EngineProcess& engine, const char* text);

    // Kills every engine started, waits for their readers, closes the referee's pipe ends.
    static void end_engines();

    // Makes engine read from a new pipe of the test's, written by feed().
    void attach_pipe(EngineProcess& engine);
    // Writes each of writes to the pipe of attach_pipe, each one after the first only once
    // the ones before it have all reached the open log (so that it comes in a read of its
    // own), then closes the pipe. It runs on a thread of its own, so that the test's thread is free
    // to read.
    void feed(const std::vector<std::string>& writes);
    // Waits until everything fed has been written and the pipe is closed.
    void finish_feeding();

    // The whole content of a file in the folder; empty when it does not exist.
    std::string file_content(const std::string& name) const;

    // Polls until condition holds, for at most 20 seconds; whether it came to hold.
    static bool wait_until(const std::function<bool()>& condition);
    // Waits until status part shows text.
    static bool wait_for_status(int part, const std::string& text);
    // Waits until the recording window has an event equal to text.
    static bool wait_for_event(const std::string& text);
    // How many recorded events equal text.
    static int count_events(const std::string& text);

    std::filesystem::path folder;

  private:
    std::filesystem::path previous_folder;
    OsHandle feed_end = NO_HANDLE;
    std::thread feeder;
};

// Whether text is an interleaving of a and b: every byte of both, each in its own order.
bool is_interleaving(const std::string& text, const std::string& a, const std::string& b);
