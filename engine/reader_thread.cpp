#include "engine/engine_process.h"
#include "engine/protocol.h"
#include "referee/move.h"
#include "referee/window.h"

#include <cstring>

// Reads the engine's name and then its lines until its output ends. The reader only reads: status
// texts it sets itself, while everything that touches the game goes to the window's thread through
// the deliver_* hand-offs, each of which returns before the next line is read, so the line it came
// from is never overwritten early.
void engine_reader_thread(EngineProcess* engine) {
    const char* name = engine->read_line();
    if (name) {
        const size_t size = std::strlen(name) + 1;
        engine->engine_name = static_cast<char*>(std::memcpy(new char[size], name, size));
        window_set_status_text(engine == &engine1 ? 0 : 2, engine->engine_name);
        while (const char* line = engine->read_line()) {
            int32_t x = 0;
            int32_t y = 0;
            switch (parse_engine_line(line, &x, &y)) {
            case EngineLine::move:
                deliver_engine_move(*engine, x, y);
                break;
            case EngineLine::bad_move:
                deliver_bad_move_line(*engine);
                break;
            case EngineLine::message:
                window_set_status_text(5, line);
                break;
            }
        }
    }
    deliver_engine_exit(*engine);
}
