#include "engine/engine_events.h"
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "engine/protocol.h"

#include <cstring>

namespace {

// How long a reader waits for its engine to end once its output has ended.
constexpr int EXIT_WAIT_MS = 200;

} // namespace

// Reads the engine's name and then its lines until its output ends, and reports each line
// as what it is. The reader only reads: what a line does is the owner's (engine_events.h),
// and each report returns before the next line is read, so the line it came from is never
// overwritten early.
void engine_reader_thread(EngineProcess* engine) {
    if (const char* name = engine->read_line()) {
        const size_t size = std::strlen(name) + 1;
        engine->engine_name = static_cast<char*>(std::memcpy(new char[size], name, size));
        engine_named(*engine, engine->engine_name);
        while (const char* line = engine->read_line()) {
            int32_t x = 0;
            int32_t y = 0;
            switch (parse_engine_line(line, &x, &y)) {
            case EngineLine::move:
                engine_moved(*engine, x, y);
                break;
            case EngineLine::bad_move:
                engine_sent_bad_move(*engine, line);
                break;
            case EngineLine::message:
                engine_said(*engine, line);
                break;
            }
        }
    }
    // Nothing is written to an engine that has gone: its writer stops before the referee
    // hears of the end. An engine ends right after its output unless it only closed it;
    // it is reaped if it ends soon, and otherwise when the program ends it.
    close_engine_input(*engine);
    wait_engine_end(*engine, EXIT_WAIT_MS);
    engine_output_ended(*engine);
}
