// Made-up games of a field of engines for the tests of the rating list, the crosstable and
// their output: results between named engines, numbered as a match numbers them, so that
// the two games of a pairing's opening are games 2k and 2k + 1.
#pragma once

#include "records/game_record.h"

#include <string>
#include <vector>

class TournamentGames {
  public:
    // Adds a game of `side1` against `side2` with the winner (1, 2, 0 for a draw).
    TournamentGames& game(const std::string& side1, const std::string& side2, int winner,
                          const char* reason = REASON_BOARD_FULL) {
        GameRecord record;
        record.game = next_game_++;
        record.side1 = side1;
        record.side2 = side2;
        record.winner = winner;
        record.reason = reason;
        records_.push_back(record);
        return *this;
    }

    // Adds a pair of games between a and b for each of `pair_points` (a's points in it: 0,
    // 0.5, 1, 1.5 or 2), a as side 1 in the first; 1 is a win and a loss, 0.5 a draw and a
    // loss. The pair's first game has an even number.
    TournamentGames& pairs(const std::string& a, const std::string& b,
                           const std::vector<double>& pair_points) {
        next_game_ += next_game_ % 2;
        for (const double points : pair_points) {
            // A's result in each game: the first its better one.
            const double first = points >= 1 ? 1 : points;
            const double second = points - first;
            game(a, b, first == 1 ? 1 : first == 0 ? 2 : 0);
            game(b, a, second == 1 ? 2 : second == 0 ? 1 : 0);
        }
        return *this;
    }

    // Adds `wins` games a won, `draws` drawn and `losses` lost, in that order, a as side 1
    // in every other game; the first game has an even number.
    TournamentGames& results(const std::string& a, const std::string& b, int wins, int draws,
                             int losses) {
        next_game_ += next_game_ % 2;
        for (int i = 0; i < wins + draws + losses; ++i) {
            const int a_result = i < wins ? 1 : i < wins + draws ? 0 : 2; // as a winner side
            const bool a_first = i % 2 == 0;
            const int winner = a_result == 0 ? 0 : (a_result == 1) == a_first ? 1 : 2;
            if (a_first)
                game(a, b, winner);
            else
                game(b, a, winner);
        }
        return *this;
    }

    const std::vector<GameRecord>& records() const { return records_; }

  private:
    std::vector<GameRecord> records_;
    int next_game_ = 0;
};
