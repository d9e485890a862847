// Building the board picture: the part of every paint that is the same in each window.
#include "full_board.h"
#include "referee/game_board.h"
#include "ui/board_picture.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// One picture of the full board, its storage reused as a window reuses it.
void BM_BuildFullBoardPicture(benchmark::State& state) {
    set_up_full_board();
    std::vector<DrawCommand> picture;
    for (auto _ : state) {
        build_board_picture(game_board, 804, 675, picture);
        benchmark::DoNotOptimize(picture.data());
    }
    state.counters["commands"] = static_cast<double>(picture.size());
}
BENCHMARK(BM_BuildFullBoardPicture);

} // namespace

BENCHMARK_MAIN();
