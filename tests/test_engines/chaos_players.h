// The chaos engine's modes that play (chaos_engine.cpp lists every mode). Each reads until
// "quit" or the end of its input, unless it says otherwise, and returns the exit code.
#pragma once

#include <string>

// "illegal": on each "go" a move onto a dot already on the board; "out-of-turn": on each
// "go" two moves in one write, the second while the other side is to move.
int play_rule_breaker(const std::string& mode);

// On each "go" the first point the rules core lets it play, from a place that moves on,
// so that it plays a whole game like any engine.
int play_legally();

// Refused moves from the start: a point off the board right after the name (a move out of
// turn as well, for the engine the referee has not asked); then, on each of the first
// STORM_TURNS "go"s, a point off the board and a point already taken before a legal move;
// then legal moves only.
int play_refuse_storm();

// Reads the game and answers each "go" with the next point of its half of the board (the
// deaf mover's, play_deaf), so that it can partner a deaf mover for a whole game.
int play_half();

// Never reads a byte of its input: it only looks, without taking anything out, until the
// first "go" or "move" line tells its side. Then it plays its half of the board, one move
// per turn, until the board is full, and waits to be killed. Without `score_trace` it
// moves each time a "go" waits in its input (the pipe must hold a whole game's requests, as
// a Linux pipe does). With it (a status trace beside the program, "PART TEXT" lines), it
// makes its pipe as small as the system allows, so that it fills, and moves once the trace
// has the score lines of the moves before its turn: the window writes a move's score before
// it takes the next move, so the engine never moves out of turn.
int play_deaf(const std::string& score_trace);

// Starts a copy of the program (mode "hold") that holds the engine's pipes and sleeps, then
// ends at once itself.
int spawn_holder_and_exit();

// The holder: sleeps with the pipes it inherited until it is killed.
int hold_pipes();
