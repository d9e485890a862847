// The game clocks: each side's remaining milliseconds, credited with increment_ms whenever
// the side is asked to move and charged with the time it then takes. All tick arithmetic
// is unsigned 32-bit, so differences stay right across the tick count's wrap.
#pragma once

#include <cstdint>

class EngineProcess;

constexpr int CLOCK_TIMER_ID = 1;

extern uint32_t side1_clock_ms;
extern uint32_t side2_clock_ms;
extern uint32_t increment_ms;
// A side's own increment when not 0, in place of increment_ms: fendrel-match's time odds.
// The window programs leave both at 0.
extern uint32_t side_increment_ms[2];
extern uint32_t turn_start_tick; // tick count right after the last clock block went out

// The increment credited to the engine's side: its own, else increment_ms.
uint32_t increment_of(const EngineProcess& engine);

// Credits the engine's increment to own_clock, sends the clock block ending in "go" to engine, and
// starts the new turn. A relayed move line given as `leading_line` goes out in the same
// write, so that the engine is woken once per turn.
void send_clock_block(EngineProcess& engine, uint32_t& own_clock, uint32_t opponent_clock_ms,
                      const char* leading_line = "");

// Charges the clock of the side to move (the mover) with the time since turn_start_tick,
// never below 0, and returns the milliseconds charged: the move's time, as the records keep
// it.
uint32_t charge_mover_clock(uint32_t now);

// Shows the remaining time of the side to move as M:SS (or "-:--") and arms the one-shot
// timer for the moment the next lower whole second is due.
void update_clock_display();

// The clock timer's expiry, on the window's thread: stop the timer, refresh the display.
void on_clock_timer();

// The status text for a remaining time, and the delay until the next refresh; the two
// halves of update_clock_display that need no window.
void format_clock_text(int32_t remaining_ms, char* text, int size);
uint32_t clock_refresh_delay(int32_t remaining_ms);
