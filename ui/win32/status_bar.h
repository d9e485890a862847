// The six-part status bar along the bottom of the main window: 0 side 1's name, 1 side 1's
// clock, 2 side 2's name, 3 side 2's clock, 4 the score, 5 the latest engine message.
#pragma once

#include <windows.h>

// Creates the status bar as a child of parent and divides it into its six parts; the
// handle, or NULL when it could not be created (then only the texts are lost).
HWND create_status_bar(HWND parent);
