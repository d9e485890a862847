// Fuzzes fendrel-bridge's translation with whatever an engine of another protocol writes,
// between set-ups and moves of the referee: the answers' shapes, ids, points, grounding and
// the KataGo fork's rules JSON. The input is text, a line a step: its first line names the
// protocol ("gtp", else pointsai), then "R LINE" is a line of the referee, "E LINE" one of
// the engine's output, "S LINE" one of its standard error, "T MS" moves the clock on, and
// any other line is the engine's output too. Checked on every input:
//   - after its first line (the engine's name) no line to the referee is longer than an
//     echo's piece with its prefix, so the referee never cuts one;
//   - each line to the referee that is not an echo is a move onto a point of the bridge's
//     board that now holds a dot, grounding under the standard rules with the bridge's
//     board grounded, or the failure line, which comes last;
//   - once it failed or finished, the bridge sends the engine nothing more.
#include "bridge/translator.h"
#include "engine/protocol.h"
#include "rules/board.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// An echo's piece of 1000 bytes, its longest prefix ("pointsai stderr: ") and its "\n".
constexpr size_t LONGEST_LINE = 1000 + 17 + 1;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Checks what one step wrote to the referee.
void check_output(const Bridge& bridge, const BridgeOutput& out, bool& named) {
    const std::string prefix = protocol_name(bridge.protocol);
    size_t start = 0;
    while (start < out.to_referee.size()) {
        const size_t end = out.to_referee.find('\n', start);
        check(end != std::string::npos, "every line to the referee ends with a line feed");
        const std::string line = out.to_referee.substr(start, end - start);
        start = end + 1;
        if (!named) {
            named = true;
            continue;
        }
        check(line.size() + 1 <= LONGEST_LINE, "lines within an echo's piece");
        if (line.rfind(prefix + ":", 0) == 0 || line.rfind(prefix + " stderr:", 0) == 0)
            continue;
        if (line.rfind(prefix + " engine failed: ", 0) == 0) {
            check(start == out.to_referee.size() && out.failed, "the failure line comes last");
            continue;
        }
        if (line == "ground") {
            check(bridge.board.rules.kind == RuleKind::standard && bridge.board.grounded != 0,
                  "grounding under the standard rules, on the bridge's board too");
            continue;
        }
        int32_t x = 0;
        int32_t y = 0;
        check(parse_engine_line(line.c_str(), &x, &y) == EngineLine::move, "a move line");
        check(x >= 0 && y >= 0 && x < bridge.board.board_cols && y < bridge.board.board_rows,
              "a move on the board");
        check(bridge.board.cell_owner[cell_index(bridge.board, x, y)] != CELL_EMPTY,
              "a move the bridge's board holds");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = text.find('\n');
    const bool gtp = text.substr(0, start) == "gtp";
    Bridge bridge;
    BridgeOutput out;
    uint32_t now = 0;
    open_bridge(bridge, gtp ? ForeignProtocol::gtp : ForeignProtocol::pointsai, 1, now, out);
    bool named = false;
    bool over = false;
    while (start != std::string::npos && start < text.size()) {
        const size_t end = text.find('\n', start + 1);
        const std::string line = text.substr(start + 1, end - start - 1);
        start = end;
        out = BridgeOutput{};
        const std::string rest = line.size() > 2 ? line.substr(2) : "";
        if (line.rfind("R ", 0) == 0)
            bridge_referee_line(bridge, rest, now, out);
        else if (line.rfind("S ", 0) == 0)
            bridge_engine_line(bridge, rest, "stderr", now, out);
        else if (line.rfind("T ", 0) == 0)
            bridge_check_time(bridge, now += static_cast<uint32_t>(std::atoi(rest.c_str())), out);
        else
            bridge_engine_line(bridge, line.rfind("E ", 0) == 0 ? rest : line, "", now, out);
        check(!over || out.to_engine.empty(), "nothing to the engine once it is over");
        over = over || out.finished;
        check_output(bridge, out, named);
    }
    out = BridgeOutput{};
    bridge_engine_ended(bridge, out);
    close_bridge(bridge, out);
    check_output(bridge, out, named);
    return 0;
}
