#include "review/board_text.h"

#include "rules/board.h"

#include <cstdio>
#include <cstdlib>

char point_mark(const Board& board, int32_t x, int32_t y) {
    const int32_t cell = cell_index(board, x, y);
    const bool enclosed = board.cell_enclosed[cell] != 0;
    switch (board.cell_owner[cell]) {
    case 1:
        return enclosed ? SIDE1_CAPTURED_MARK : SIDE1_MARK;
    case 2:
        return enclosed ? SIDE2_CAPTURED_MARK : SIDE2_MARK;
    default:
        return enclosed ? ENCLOSED_MARK : FREE_MARK;
    }
}

namespace {

// One header line: the digit of each column number that `divisor` picks, blank where a
// tens digit would be 0.
std::string column_numbers(int32_t cols, int32_t divisor) {
    std::string line = "  ";
    for (int32_t x = 0; x < cols; ++x) {
        const int32_t digit = x / divisor % 10;
        line += ' ';
        line += divisor > 1 && x < divisor ? ' ' : static_cast<char>('0' + digit);
    }
    return line + "\n";
}

// "side 1 (red, X) dotbot-1".
std::string side_words(int side, const GameRecord& record) {
    return side == 1 ? "side 1 (red, X) " + record.side1 : "side 2 (blue, O) " + record.side2;
}

} // namespace

std::string board_text(const Board& board) {
    std::string text = column_numbers(board.board_cols, 10) + column_numbers(board.board_cols, 1);
    for (int32_t y = 0; y < board.board_rows; ++y) {
        char label[16];
        std::snprintf(label, sizeof label, "%2d", static_cast<int>(y));
        text += label;
        for (int32_t x = 0; x < board.board_cols; ++x) {
            text += ' ';
            text += point_mark(board, x, y);
        }
        text += '\n';
    }
    text += std::string("  ") + SIDE1_MARK + " side 1's dot   " + SIDE1_CAPTURED_MARK +
            " side 1's dot, captured   " + ENCLOSED_MARK + " empty point inside an enclosure\n" +
            "  " + SIDE2_MARK + " side 2's dot   " + SIDE2_CAPTURED_MARK +
            " side 2's dot, captured   " + FREE_MARK + " free point\n";
    return text;
}

std::string players_and_score_text(const std::string& side1, const std::string& side2, size_t dots,
                                   int32_t balance) {
    std::string text = "Side 1 (red, X): " + side1 + "; side 2 (blue, O): " + side2 + "; " +
                       std::to_string(dots) + " dots\n";
    text += "Score: side 1 " + std::string(balance > 0 ? "+" : "") + std::to_string(balance) +
            " (captured dots: ";
    text += balance == 0 ? "even)\n"
                         : "side " + std::to_string(balance > 0 ? 1 : 2) + " took " +
                               std::to_string(std::abs(balance)) + " more)\n";
    return text;
}

std::string outcome_text(const GameRecord& record) {
    std::string text =
        players_and_score_text(record.side1, record.side2, record.dots.size(), record.score);
    if (record.winner == 0)
        return text + "Result: a draw (" + record.reason + ")\n";
    text += "Winner: " + side_words(record.winner, record);
    if (record.reason == REASON_BOARD_FULL)
        return text + ", on captured dots once no point could take a dot\n";
    if (record.reason == REASON_GROUNDED)
        return text + ", on captured dots once " + side_words(record.grounded, record) +
               " grounded\n";
    text += ", as " + side_words(3 - record.winner, record) + " lost by " + record.reason;
    return text + (record.detail.empty() ? "" : " (" + record.detail + ")") + "\n";
}
