// What the end-to-end tests cannot see from X: the Win32 facts of the running program's
// windows. Run under Wine in the program's prefix, it prints one fact a line:
//
//   window_probe main    the main window: "caption TEXT", "outer W H", "client W H",
//                        "origin X Y" (the client area's top left on the screen),
//                        "style HEX", "class_style HEX" and "active 1" when it is the
//                        foreground window (the one keys go to), else "active 0"; exit
//                        code 1 when it is not there
//   window_probe boxes   one line "CAPTION|TEXT|X Y|HWND" per message box on the screen,
//                        topmost first, X Y the centre of its OK button on the screen
//   window_probe close   asks the main window to close, as its close button does
//   window_probe ok HWND presses OK in the message box HWND (as "boxes" prints it)
//
// Texts are printed as the windows hold them (Windows-1251).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The id of the text of a message box, as the system's dialog template gives it.
const int MESSAGE_BOX_TEXT_ID = 0xFFFF;

// Prints the facts of the window of class "MainWndClass"; false when there is none.
bool print_main_window() {
    HWND window = FindWindowA("MainWndClass", nullptr);
    if (!window)
        return false;
    char caption[256];
    GetWindowTextA(window, caption, sizeof caption);
    RECT outer;
    RECT client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("caption %s\n", caption);
    std::printf("outer %ld %ld\n", outer.right - outer.left, outer.bottom - outer.top);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("origin %ld %ld\n", origin.x, origin.y);
    std::printf("style %lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
    std::printf("class_style %lx\n", static_cast<unsigned long>(GetClassLongA(window, GCL_STYLE)));
    std::printf("active %d\n", GetForegroundWindow() == window ? 1 : 0);
    return true;
}

// Prints a visible message box's caption and text.
BOOL CALLBACK print_if_box(HWND window, LPARAM) {
    char class_name[64];
    GetClassNameA(window, class_name, sizeof class_name);
    if (std::strcmp(class_name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    char caption[256];
    char text[256];
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, MESSAGE_BOX_TEXT_ID, text, sizeof text);
    RECT button{0, 0, 0, 0};
    GetWindowRect(GetDlgItem(window, IDOK), &button);
    std::printf("%s|%s|%ld %ld|%llx\n", caption, text, (button.left + button.right) / 2,
                (button.top + button.bottom) / 2,
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return TRUE;
}

} // namespace

// Answers the one question named on the command line.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "main") == 0)
        return print_main_window() ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "boxes") == 0)
        return EnumWindows(print_if_box, 0) ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "close") == 0) {
        const HWND window = FindWindowA("MainWndClass", nullptr);
        return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "ok") == 0) {
        // As a press of the OK button: a click on a box that is not active only activates
        // it under Wine, and two boxes of the program may lie on top of each other.
        const auto window = reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 16));
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)))
                   ? 0
                   : 1;
    }
    std::fprintf(stderr, "usage: window_probe main|boxes|close|ok HWND\n");
    return 2;
}
