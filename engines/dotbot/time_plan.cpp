#include "engines/dotbot/time_plan.h"

#include <algorithm>

int64_t plan_move_time(const TimeControl& c) {
    int64_t plan = std::max<int64_t>(c.cap_ms, 0);
    if (c.fixed_ms > 0)
        plan = std::min(plan, c.fixed_ms);
    if (!c.clock_known)
        return plan;

    // What the clock allows: all of it but a margin for the round trip through the pipes
    // and the scheduler, which weighs most on short clocks.
    const int64_t usable = c.own_ms - (5 + c.own_ms / 4);
    if (c.fixed_ms == 0) {
        const int64_t increment = std::max<int64_t>(c.increment_ms, 0);
        const int64_t banked = std::max<int64_t>(c.own_ms - increment, 0);
        const int64_t horizon = std::clamp<int64_t>(c.moves_left, 8, 40);
        plan = std::min(plan, increment / 2 + banked / horizon);
    }
    return std::clamp<int64_t>(plan, 0, std::max<int64_t>(usable, 0));
}
