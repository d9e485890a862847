// What changed between two board pictures, so that a window keeping its last picture in a
// buffer redraws only there. Outside the boxes of the commands that are in one picture but
// not the other, both pictures leave the same pixels: every command that covers such a
// pixel is in both, and the commands both pictures share come in the same order (each
// picture draws the cells in the same order).
#pragma once

#include "ui/board_picture.h"

#include <cstdint>
#include <vector>

// A rectangle of pixels: x0 <= x < x1, y0 <= y < y1.
struct PixelBox {
    int32_t x0, y0, x1, y1;
    bool operator==(const PixelBox&) const = default;
};

// Every pixel the command can touch.
PixelBox command_box(const DrawCommand& command);

// Whether two boxes share a pixel.
bool boxes_meet(const PixelBox& a, const PixelBox& b);

// The boxes of the commands of `before` missing from `after` and of `after` missing from
// `before`, into `changed` (emptied first). The working lists are kept from call to call.
void changed_boxes(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after,
                   std::vector<PixelBox>& changed);
