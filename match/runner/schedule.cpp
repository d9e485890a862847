#include "match/runner/schedule.h"

std::vector<EnginePairing> match_pairings(const MatchOptions& options) {
    const int n = static_cast<int>(options.engines.size());
    std::vector<EnginePairing> pairings;
    if (options.tournament == Tournament::gauntlet) {
        for (int other = 1; other < n; ++other)
            pairings.push_back({0, other});
        return pairings;
    }
    // The circle method: place 0 stays, the others turn one step a turn; with an odd field a
    // place that is no engine sits out. Each turn pairs place k with place m - 1 - k.
    const int m = n + n % 2;
    std::vector<int> places(static_cast<size_t>(m));
    for (int k = 0; k < m; ++k)
        places[static_cast<size_t>(k)] = k;
    for (int turn = 0; turn < m - 1; ++turn) {
        for (int k = 0; k < m / 2; ++k) {
            const int a = places[static_cast<size_t>(k)];
            const int b = places[static_cast<size_t>(m - 1 - k)];
            if (a < n && b < n)
                pairings.push_back({a < b ? a : b, a < b ? b : a});
        }
        // Turn every place but the first one step.
        const int last = places.back();
        for (int k = m - 1; k > 1; --k)
            places[static_cast<size_t>(k)] = places[static_cast<size_t>(k - 1)];
        places[1] = last;
    }
    return pairings;
}

int match_games(const MatchOptions& options) {
    if (options.games > 0)
        return options.games;
    return 2 * options.rounds * static_cast<int>(match_pairings(options).size());
}

ScheduledGame scheduled_game(const MatchOptions& options, int game) {
    const std::vector<EnginePairing> pairings = match_pairings(options);
    const int per_round = 2 * static_cast<int>(pairings.size());
    const int slot = game % per_round;
    return {pairings[static_cast<size_t>(slot / 2)], slot % 2 == 0 ? 1 : 2, game / per_round};
}
