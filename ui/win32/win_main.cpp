// The Windows program's entry: the window, the game, and the message loop on this thread
// until the window is destroyed.
#include "ui/win32/main_window.h"

#include <windows.h>

// Registers the class, starts up, and dispatches messages until the quit message; returns
// its code (0), or 0 at once when the class or the window could not be made.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    if (!register_main_class(instance))
        return 0;
    if (!start_up(instance, show_command))
        return 0;
    return run_message_loop();
}
