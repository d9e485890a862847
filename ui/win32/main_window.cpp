#include "ui/win32/main_window.h"

#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "ui/click.h"
#include "ui/geometry.h"
#include "ui/handoff.h"
#include "ui/win32/board_painter.h"
#include "ui/win32/status_bar.h"

HWND main_window;
HWND status_bar;

namespace {

const char MAIN_CLASS_NAME[] = "MainWndClass";
// A title bar with system menu and minimise box: no sizing border, no maximise box, so the
// window's size never changes.
const DWORD MAIN_WINDOW_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The outer size that gives the board its client area with this platform's frame.
WindowSize outer_size() {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, MAIN_WINDOW_STYLE, FALSE, 0);
    return main_window_outer_size(FENDREL_COLS, FENDREL_ROWS, frame.right - frame.left,
                                  frame.bottom - frame.top);
}

// Has the window's thread run one piece of handed-off work; called from reader threads.
// A posted message also reaches the window inside a message box's loop, so engines play on
// while a click's box is open.
void wake_window_thread() {
    PostMessageA(main_window, WM_RUN_HANDOFF, 0, 0);
}

} // namespace

bool register_main_class(HINSTANCE instance) {
    WNDCLASSA window_class{};
    window_class.style = 0; // no redraw on resize, no double clicks: a double click is two
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = nullptr; // the board covers its area; nothing is erased
    window_class.lpszMenuName = "MainMenu";
    window_class.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassA(&window_class) != 0;
}

bool create_main_window(HINSTANCE instance, int show_command) {
    const WindowSize size = outer_size();
    main_window = CreateWindowExA(0, MAIN_CLASS_NAME, "Fendrel", MAIN_WINDOW_STYLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, size.width, size.height, nullptr, nullptr,
                                  instance, nullptr);
    if (!main_window)
        return false;
    // The first paint comes here, synchronously, and makes the back buffer.
    ShowWindow(main_window, show_command);
    UpdateWindow(main_window);
    return true;
}

bool start_up(HINSTANCE instance, int show_command) {
    init_board(game_board);
    // The board is painted once, empty, before the status bar or any engine exists.
    if (!create_main_window(instance, show_command))
        return false;
    status_bar = create_status_bar(main_window);
    handoff_open(wake_window_thread);
    start_game();
    return true;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY:
        // Readers waiting on the window are released first: quitting waits for the engines.
        handoff_close();
        quit_engines();
        end_engines(WINDOW_QUIT_GRACE_MS);
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paint_board();
        return 0;
    case WM_TIMER:
        on_clock_timer();
        return 0;
    case WM_LBUTTONDOWN:
        handle_click(LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_RUN_HANDOFF:
        handoff_run_next();
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

int run_message_loop() {
    MSG message;
    for (;;) {
        // Posted messages come before input in GetMessageA's order, and engines that answer at
        // once keep a hand-off always posted: keys and clicks are taken first, so that Alt+F4
        // or a click waits behind at most one move.
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT) &&
            GetMessageA(&message, nullptr, 0, 0) <= 0)
            return static_cast<int>(message.wParam);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
