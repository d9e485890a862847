#include "ui/win32/status_bar.h"

#include "referee/window.h"
#include "ui/geometry.h"

#include <commctrl.h>

namespace {

// Right edges of the parts in the bar's client pixels; -1 runs to the bar's right end.
const int PART_RIGHT_EDGES[STATUS_PART_COUNT] = {
    STATUS_PART_RIGHT_EDGES[0], STATUS_PART_RIGHT_EDGES[1], STATUS_PART_RIGHT_EDGES[2],
    STATUS_PART_RIGHT_EDGES[3], STATUS_PART_RIGHT_EDGES[4], -1};

} // namespace

HWND create_status_bar(HWND parent) {
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Status bar", parent, 0);
    SendMessageA(bar, SB_SETPARTS, STATUS_PART_COUNT, reinterpret_cast<LPARAM>(PART_RIGHT_EDGES));
    return bar;
}
