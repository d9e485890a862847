// The translation between the referee's line protocol and another engine protocol, apart
// from any process so that every exchange can be tested as text. The bridge keeps its own
// board on the rules core, of the size and under the rules the referee's set-up names ("new",
// then "rules" unless they are fendrel), so it knows the side to move and checks each move
// the engine gives before the referee sees it.
//
// Every step takes the time now (a monotonic tick in ms) and appends to a BridgeOutput what
// is to be written: requests to the engine, lines to the referee. Every line the engine
// writes is passed on to the referee as a message, prefixed so that no engine text can read
// as a move, so the referee's log holds all of it.
#pragma once

#include "rules/board.h"

#include <cstdint>
#include <deque>
#include <string>

enum class ForeignProtocol { pointsai, gtp };

// The protocol of a name ("pointsai", "gtp"); false for any other.
bool protocol_named(const std::string& name, ForeignProtocol& protocol);
const char* protocol_name(ForeignProtocol protocol);

// How long past its own clock an engine may stay silent before the bridge gives it up.
constexpr uint32_t MOVE_GRACE_MS = 1000;
// How long any other request may wait for its answer.
constexpr uint32_t REQUEST_LIMIT_MS = 60000;

struct BridgeOutput {
    std::string to_engine;
    std::string to_referee;
    bool finished = false; // nothing more to do: quit was asked, or the engine failed
    bool failed = false;
};

// What a request sent to the engine is for, so that its answer can be checked and used:
// `rules` tells the engine the rules, `rules_check` asks them back.
enum class RequestKind { name, setup, rules, rules_check, their_move, generate, our_move, quit };

struct Request {
    int id = 0;
    std::string command; // the command as sent, without the id
    RequestKind kind = RequestKind::setup;
    int32_t x = 0, y = 0; // our_move: the move to relay once the engine has played it
    uint32_t deadline = 0;
};

struct Bridge {
    ForeignProtocol protocol = ForeignProtocol::pointsai;
    uint32_t seed = 0; // pointsai's init takes a random seed
    // gtp under the fendrel rules, which the KataGo fork cannot be told: play its nearest
    // (empty bases captured) when set, else fail as the set-up ends.
    bool nearest_rules = false;
    int next_id = 1;
    std::deque<Request> waiting; // sent and not yet answered, oldest first
    bool named = false;
    std::string early_echo;       // engine lines before the name line, passed on after it
    bool in_gtp_response = false; // GTP: inside a response, until its blank line
    Board board; // the game as the referee relays it, of its size and under its rules
    // Between "new" and the first line after it that is not "rules": the rules are still
    // being told, so the engine has not been given them yet.
    bool setup_open = false;
    uint32_t increment_ms = 0;
    uint32_t movetime_ms = 0; // "movetime MS" from the referee: the budget of every move
    uint32_t own_clock_ms = 0;
    bool finished = false;
    std::string failure; // the line that said why the engine failed
};

// Starts a bridge afresh but for nearest_rules: its first request, the engine's name.
void open_bridge(Bridge& bridge, ForeignProtocol protocol, uint32_t seed, uint32_t now,
                 BridgeOutput& out);

// One line from the referee, without its "\n". A board size the rules core does not take, a
// rules line it cannot read, one outside the set-up and one that names a start position
// (whose dots come as moves) fail the engine.
void bridge_referee_line(Bridge& bridge, const std::string& line, uint32_t now, BridgeOutput& out);

// One line from the engine, without its "\n"; `channel` names where it came from in the
// message that passes it on ("" for its output, "stderr"). After quit its answers are still
// checked and its name taken (it may come only then), but a move it answers is neither
// committed nor relayed; after a failure it is only passed on.
void bridge_engine_line(Bridge& bridge, const std::string& line, const char* channel, uint32_t now,
                        BridgeOutput& out);

// The engine's output ended (it exited or closed it).
void bridge_engine_ended(Bridge& bridge, BridgeOutput& out);

// The end of the bridge: what the engine wrote before a name it never gave, after a
// stand-in name line.
void close_bridge(Bridge& bridge, BridgeOutput& out);

// When the oldest unanswered request runs out of time; false when none waits.
bool bridge_deadline(const Bridge& bridge, uint32_t& tick);

// Gives the engine up when a request has waited past its deadline.
void bridge_check_time(Bridge& bridge, uint32_t now, BridgeOutput& out);

// The time the engine is given for a move on the clock block's OWN (the increment already
// added): a share of what was left before the increment, and most of the increment, never
// more than the clock. After a "movetime MS" line from the referee the budget is MS, exactly,
// whatever the clock holds: the referee's clock still decides a loss on time.
uint32_t move_budget_ms(uint32_t own_clock_ms, uint32_t increment_ms);
