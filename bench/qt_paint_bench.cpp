// One paint of the Linux window's board: the board picture of a full board, with every
// other dot captured and every third cell under an enclosure disc, carried out into the
// back buffer.
#include "referee/game_board.h"
#include "referee/move.h"
#include "ui/board_picture.h"
#include "ui/qt/main_window.h"
#include "ui/qt/picture_raster.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Every playable cell holds a dot: the most there is to draw.
void fill_board() {
    init_board(game_board);
    for (int32_t y = 0; y < game_board.board_rows; ++y) {
        for (int32_t x = 0; x < game_board.board_cols; ++x) {
            const int32_t cell = cell_index(game_board, x, y);
            game_board.cell_owner[cell] = 1 + (x + y) % 2;
            game_board.cell_enclosed[cell] = (x + 2 * y) % 3 == 0 ? 1 : 0;
        }
    }
    game_board.last_move_cell =
        cell_index(game_board, game_board.board_cols / 2, game_board.board_rows / 2);
}

void BM_PaintFullBoard(benchmark::State& state) {
    fill_board();
    std::vector<DrawCommand> picture;
    QImage image(client_width(), board_area_height(), QImage::Format_RGB32);
    for (auto _ : state) {
        build_board_picture(game_board, client_width(), client_height(), picture);
        render_picture(picture, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["commands"] = static_cast<double>(picture.size());
}
BENCHMARK(BM_PaintFullBoard)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
