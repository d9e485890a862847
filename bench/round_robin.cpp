#include "round_robin.h"

#include <cmath>
#include <random>
#include <string>

std::vector<GameRecord> round_robin(int dots) {
    constexpr int ENGINES = 10;
    constexpr int GAMES_A_PAIRING = 100;
    std::mt19937_64 random(4500);
    std::vector<GameRecord> records;
    for (int a = 0; a < ENGINES; ++a)
        for (int b = a + 1; b < ENGINES; ++b)
            for (int g = 0; g < GAMES_A_PAIRING; ++g) {
                GameRecord record;
                record.game = static_cast<int>(records.size());
                const int first = g % 2 ? b : a;
                const int second = g % 2 ? a : b;
                record.side1 = "engine-" + std::to_string(first);
                record.side2 = "engine-" + std::to_string(second);
                record.a_side = g % 2 ? 2 : 1;
                const double p = 1 / (1 + std::pow(10.0, -(first - second) * 40 / 400.0));
                const double roll = static_cast<double>(random() >> 11) * 0x1.0p-53;
                record.winner = roll < p - 0.05 ? 1 : roll < p + 0.05 ? 0 : 2;
                record.reason = REASON_BOARD_FULL;
                for (int i = 0; i < dots; ++i)
                    record.dots.push_back({i % 39, i / 39 % 32});
                record.move_ms.assign(static_cast<size_t>(dots), 100);
                records.push_back(record);
            }
    return records;
}
