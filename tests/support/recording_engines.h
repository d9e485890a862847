// Engines for tests without processes: engine1 and engine2 record every text the referee
// writes to them. An engine "present" at start-up starts (running 1) and receives what it
// is sent; an absent one fails to start and receives nothing, as with a missing program.
#pragma once

#include <string>
#include <vector>

class EngineProcess;

namespace recording_engines {

// Fresh engine objects; whether each one's program is present at the next start.
void reset(bool engine1_present, bool engine2_present);

// Every text written to the engine so far, one entry per write.
std::vector<std::string> writes(const EngineProcess& engine);

// Every write to either engine in order, each prefixed with "1:" or "2:".
std::vector<std::string> all_writes();
void clear_writes();

} // namespace recording_engines
