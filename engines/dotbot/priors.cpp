#include "engines/dotbot/priors.h"

#include <algorithm>

namespace {

// Weights of the prior win rate, per captured dot (up to ten).
constexpr float GAIN_WEIGHT = 0.04f;
constexpr float THREAT_WEIGHT = 0.035f;
constexpr float SETUP_WEIGHT = 0.02f;
constexpr float DOUBLE_SETUP_BONUS = 0.1f;
constexpr float SPOIL_WEIGHT = 0.015f;

// Whether a dot lies within two steps of cell. Two columns past an edge land on frame cells
// of the next row, which hold no dot; rows past the frame fall outside the arrays and are
// skipped.
bool dot_within_two(const FastBoard& b, int32_t cell) {
    const int32_t row = b.cols + 2;
    for (int32_t dy = -2; dy <= 2; ++dy) {
        for (int32_t dx = -2; dx <= 2; ++dx) {
            const int32_t n = cell + dy * row + dx;
            if (n < 0 || n >= FAST_CAPACITY)
                continue;
            if (b.owner[n] == 1 || b.owner[n] == 2)
                return true;
        }
    }
    return false;
}

// A number of dots as a weight's factor, at most ten.
float capped(int32_t dots) {
    return static_cast<float>(std::min(dots, 10));
}

// The rise in side's capture gains within two steps of cell once side has a dot there:
// the sum of the rises and how many cells rose.
void new_chances(FastBoard& b, int32_t cell, int32_t side, const int32_t* before, int32_t* total,
                 int32_t* count) {
    *total = 0;
    *count = 0;
    const int32_t row = b.cols + 2;
    b.owner[cell] = static_cast<int8_t>(side);
    for (int32_t dy = -2; dy <= 2; ++dy) {
        for (int32_t dx = -2; dx <= 2; ++dx) {
            const int32_t n = cell + dy * row + dx;
            if (n < b.first_cell || n >= b.end_cell || !can_take_dot(b, n))
                continue;
            const int32_t rise = std::max(probe_gain(b, n, side), 0) - before[n];
            if (rise > 0) {
                *total += rise;
                ++*count;
            }
        }
    }
    b.owner[cell] = FAST_EMPTY;
}

} // namespace

int32_t candidate_cells(FastBoard& b, int32_t* cells) {
    const int32_t mover = b.side_to_move;
    int32_t count = 0;
    if (b.dots == 0) {
        // The first dot goes near the centre, where there is room to enclose.
        for (int32_t y = std::max(b.rows / 2 - 2, 0); y <= std::min(b.rows / 2 + 2, b.rows - 1);
             ++y)
            for (int32_t x = std::max(b.cols / 2 - 2, 0); x <= std::min(b.cols / 2 + 2, b.cols - 1);
                 ++x)
                cells[count++] = point_cell(b, x, y);
        return count;
    }
    for (int32_t c = b.first_cell; c < b.end_cell; ++c) {
        if (worth_playing(b, c, mover) && dot_within_two(b, c))
            cells[count++] = c;
    }
    if (count > 0)
        return count;
    // Dots, but none near a cell worth playing: any such cell will do.
    for (int32_t c = b.first_cell; c < b.end_cell; ++c) {
        if (worth_playing(b, c, mover))
            cells[count++] = c;
    }
    if (count > 0)
        return count;
    for (int32_t c = b.first_cell; c < b.end_cell; ++c) {
        if (can_take_dot(b, c) && !is_suicide(b, c, mover))
            cells[count++] = c;
    }
    return count;
}

float capture_prior(int32_t gain, int32_t threat, bool near) {
    return (near ? 0.5f : 0.4f) + GAIN_WEIGHT * capped(gain) +
           THREAT_WEIGHT * capped(std::max(threat, 0));
}

float setup_bonus(FastBoard& b, int32_t cell, const int32_t* const gain_of[3]) {
    const int32_t mover = b.side_to_move;
    int32_t total = 0;
    int32_t count = 0;
    int32_t spoiled = 0;
    int32_t spoiled_count = 0;
    new_chances(b, cell, mover, gain_of[mover], &total, &count);
    new_chances(b, cell, mover ^ 3, gain_of[mover ^ 3], &spoiled, &spoiled_count);
    return SETUP_WEIGHT * capped(total) + (count >= 2 ? DOUBLE_SETUP_BONUS : 0) +
           SPOIL_WEIGHT * capped(spoiled);
}
