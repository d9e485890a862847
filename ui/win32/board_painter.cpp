// Paints the board from the portable board picture. The back buffer keeps the picture of
// the last paint, and a paint redraws in it only what the new picture changes, then copies
// the whole board area to the window in one transfer: the window never shows a half-drawn
// board, and a move costs a few discs, not the whole board. The dot brushes and the buffer
// are made on the first paint and kept until the process ends. All of it belongs to the
// window's thread, which also applies every move: a paint never sees a move half applied.
#include "ui/win32/board_painter.h"

#include "referee/game_board.h"
#include "ui/board_picture.h"
#include "ui/win32/gdi_picture.h"
#include "ui/win32/main_window.h"

#include <windows.h>

#include <vector>

namespace {

HDC back_buffer_dc;
std::vector<DrawCommand> picture;      // what this paint shows
std::vector<DrawCommand> last_picture; // what the back buffer holds

// A memory context holding a bitmap in the screen's format, the size of the client area.
void create_back_buffer(HDC paint_dc) {
    back_buffer_dc = CreateCompatibleDC(paint_dc);
    RECT client;
    GetClientRect(main_window, &client);
    HBITMAP bitmap = CreateCompatibleBitmap(paint_dc, client.right, client.bottom);
    SelectObject(back_buffer_dc, bitmap);
}

} // namespace

void paint_board() {
    create_dot_brushes();
    PAINTSTRUCT paint;
    HDC paint_dc = BeginPaint(main_window, &paint);
    RECT client;
    GetClientRect(main_window, &client);
    build_board_picture(game_board, client.right, client.bottom, picture);
    if (!back_buffer_dc) {
        create_back_buffer(paint_dc);
        draw_picture(back_buffer_dc, picture);
    } else {
        redraw_changes(back_buffer_dc, last_picture, picture);
    }
    last_picture.swap(picture);
    // The whole board area whatever the update region; the bottom band is the status bar's.
    BitBlt(paint_dc, 0, 0, client.right, client.bottom - STATUS_BAR_HEIGHT, back_buffer_dc, 0, 0,
           SRCCOPY);
    EndPaint(main_window, &paint);
}
