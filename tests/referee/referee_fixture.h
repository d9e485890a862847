// A referee on a fresh board with the recording window and recording engines.
#pragma once

#include "engine/engine_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class RefereeTest : public ::testing::Test {
  protected:
    void SetUp() override { fresh_game(true, true); }

    // A new board, window and engines; the game is not started.
    static void fresh_game(bool engine1_present, bool engine2_present);

    // Start-up as the window does it, at the given tick.
    static void start_at(uint32_t tick);

    // A move line from an engine's reader, delivered at the given tick.
    static void engine_moves_at(uint32_t tick, EngineProcess& sender, int32_t x, int32_t y);

    static std::vector<std::string> writes(const EngineProcess& engine);
};
