#include "ui/win32/status_bar.h"

#include <commctrl.h>

namespace {

// Right edges of the parts in the bar's client pixels; -1 runs to the bar's right end.
const int PART_RIGHT_EDGES[6] = {125, 165, 290, 330, 365, -1};

} // namespace

HWND create_status_bar(HWND parent) {
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Status bar", parent, 0);
    SendMessageA(bar, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(PART_RIGHT_EDGES));
    return bar;
}
