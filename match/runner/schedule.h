// Which engines play each game of a match: two engines play one pairing; more play a round
// robin (every pairing) or a gauntlet (the first engine against each of the others). A
// round gives every pairing one pair of games, from one opening, with the colours swapped;
// games are numbered round after round, so that games 2k and 2k + 1 are always a pair and
// a match stopped early has played each pairing about as often as the others.
#pragma once

#include "records/match_definition.h"

#include <utility>
#include <vector>

// A pairing of two engines, by their places in the match's list; `first` comes first in
// the list, and its results are seen from its side.
struct EnginePairing {
    int first;
    int second;
};

// The pairings in the order each round plays them: for a round robin, in turns where no
// engine plays twice (the circle method), so that consecutive games spread over the field.
std::vector<EnginePairing> match_pairings(const MatchOptions& options);

// How many games the match plays: --games when given, else every pairing's pairs of all
// its rounds.
int match_games(const MatchOptions& options);

struct ScheduledGame {
    EnginePairing pairing;
    int a_side; // the side the pairing's first engine plays: 1, then 2 in the pair's other game
    int round;  // from 0: it chooses the opening, the same for every pairing of the round
};

// Who plays game `game` (from 0), with which colours, in which round.
ScheduledGame scheduled_game(const MatchOptions& options, int game);
