// The painter redraws only what a new picture changes in the picture its buffer holds; the
// pixels must be exactly those of drawing the new picture anew, move after move of random
// games full of captures.
#include "board_diagram.h"
#include "random_play.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "rules/capture.h"
#include "ui/board_picture.h"
#include "ui/win32/gdi_picture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 804;
constexpr int HEIGHT = 675;

// A memory context over 32-bit pixels that the test can read.
class Canvas {
  public:
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = WIDTH;
        info.bmiHeader.biHeight = -HEIGHT;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<const uint32_t*>(bits);
        old_bitmap = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old_bitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Whether both canvases hold the same pixels, once GDI has finished drawing.
    bool same_pixels(const Canvas& other) const {
        GdiFlush();
        return std::memcmp(pixels, other.pixels, sizeof(uint32_t) * WIDTH * HEIGHT) == 0;
    }

    HDC dc;

  private:
    HBITMAP bitmap;
    HGDIOBJ old_bitmap;
    const uint32_t* pixels;
};

TEST(GdiPicture, RedrawingTheChangesEqualsDrawingAnew) {
    create_dot_brushes();
    for (uint32_t seed : {1u, 2u}) {
        reset_rules_state(game_board);
        game_board.last_move_cell = 0;
        std::vector<DrawCommand> held;
        std::vector<DrawCommand> picture;
        build_board_picture(game_board, WIDTH, HEIGHT, held);
        Canvas kept;
        draw_picture(kept.dc, held);

        RandomPlayer player;
        start_random_player(player, seed, Bias::near_recent);
        Point move;
        int moves = 0;
        while (next_random_move(
            player, [](Point p) { return is_legal_dot(game_board, p.x, p.y); }, move)) {
            game_board.last_move_cell = cell_index(game_board, move.x, move.y);
            place_dot(game_board, game_board.last_move_cell);
            build_board_picture(game_board, WIDTH, HEIGHT, picture);
            redraw_changes(kept.dc, held, picture);
            held.swap(picture);
            // Drawing anew is slow under Wine: compare often, not after every move.
            if (++moves % 7 == 0) {
                Canvas fresh;
                draw_picture(fresh.dc, held);
                ASSERT_TRUE(kept.same_pixels(fresh)) << "seed " << seed << ", move " << moves;
            }
        }
        Canvas fresh;
        draw_picture(fresh.dc, held);
        EXPECT_TRUE(kept.same_pixels(fresh)) << "seed " << seed << ", end";
        EXPECT_GT(moves, 600);
    }
}

} // namespace
