#include "ui/click.h"

#include "engine/engine_process.h"
#include "referee/game_board.h"
#include "referee/move.h"

void handle_click(int32_t px, int32_t py) {
    const EngineProcess& engine = game_board.side_to_move == 1 ? engine1 : engine2;
    if (engine.running)
        return;
    const BoardPoint point = cell_from_point(px, py);
    make_move(point.x, point.y);
}
