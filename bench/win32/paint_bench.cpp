// Time per paint of a full board under Wine, two ways:
//   - drawn anew: the board picture built and carried out in GDI into a buffer like the
//     window's back buffer, then copied to the window (the first paint, the costliest);
//   - after a move: a real paint of the window after one dot has changed (every paint
//     after the first redraws only what changed).
// Run it with make bench-win32; it prints the means over many paints, elapsed and of
// processor time (the X server's share not included), and the slowest paint.
#include "full_board.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "ui/board_picture.h"
#include "ui/win32/gdi_picture.h"
#include "ui/win32/main_window.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int PAINTS = 500;

// Milliseconds on the performance counter.
double now_ms() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds of processor time this process has used, which a busy machine does not
// inflate as it does the elapsed time.
double cpu_ms() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Runs paint PAINTS times and prints the mean elapsed and processor time and the slowest.
template <class Paint> void time_paints(const char* name, Paint paint) {
    double slowest = 0;
    const double start = now_ms();
    const double cpu_start = cpu_ms();
    for (int i = 0; i < PAINTS; ++i) {
        const double paint_start = now_ms();
        paint(i);
        GdiFlush();
        slowest = std::max(slowest, now_ms() - paint_start);
    }
    std::printf("%s: %.3f ms per paint (processor %.3f ms), slowest %.3f ms, %d paints\n", name,
                (now_ms() - start) / PAINTS, (cpu_ms() - cpu_start) / PAINTS, slowest, PAINTS);
}

} // namespace

// Opens the window on a full board and times both kinds of paint.
int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    set_up_full_board();
    if (!register_main_class(instance) || !create_main_window(instance, SW_SHOWNORMAL))
        return 1;
    RECT client;
    GetClientRect(main_window, &client);
    HDC window_dc = GetDC(main_window);
    HDC buffer = CreateCompatibleDC(window_dc);
    SelectObject(buffer, CreateCompatibleBitmap(window_dc, client.right, client.bottom));
    std::vector<DrawCommand> picture;
    time_paints("full board drawn anew", [&](int) {
        build_board_picture(game_board, client.right, client.bottom, picture);
        draw_picture(buffer, picture);
        BitBlt(window_dc, 0, 0, client.right, client.bottom - STATUS_BAR_HEIGHT, buffer, 0, 0,
               SRCCOPY);
    });

    // One dot of the upper half, taken away and put back in turn, as the latest move.
    const int32_t cell = cell_index(game_board, 20, 5);
    const int32_t owner = game_board.cell_owner[cell];
    time_paints("full board after a move", [&](int i) {
        game_board.cell_owner[cell] = i % 2 ? owner : CELL_EMPTY;
        game_board.last_move_cell = i % 2 ? cell : 0;
        RedrawWindow(main_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
    return 0;
}
