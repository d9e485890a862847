#include "ui/picture_change.h"

#include <algorithm>
#include <tuple>

namespace {

// Working lists of changed_boxes, kept so that a paint allocates nothing once they have
// grown to a picture's size.
std::vector<DrawCommand> sorted_before;
std::vector<DrawCommand> sorted_after;
std::vector<DrawCommand> difference;

// Any strict order on commands, to match the two pictures' commands as sets.
bool command_less(const DrawCommand& a, const DrawCommand& b) {
    return std::tie(a.shape, a.x0, a.y0, a.x1, a.y1, a.colour.r, a.colour.g, a.colour.b) <
           std::tie(b.shape, b.x0, b.y0, b.x1, b.y1, b.colour.r, b.colour.g, b.colour.b);
}

} // namespace

PixelBox command_box(const DrawCommand& command) {
    if (command.shape != Shape::line)
        return {command.x0, command.y0, command.x1, command.y1};
    // A line covers the pixels from its start towards its end, the end itself not drawn;
    // the box of both end points holds them all.
    return {std::min(command.x0, command.x1), std::min(command.y0, command.y1),
            std::max(command.x0, command.x1) + 1, std::max(command.y0, command.y1) + 1};
}

bool boxes_meet(const PixelBox& a, const PixelBox& b) {
    return std::max(a.x0, b.x0) < std::min(a.x1, b.x1) &&
           std::max(a.y0, b.y0) < std::min(a.y1, b.y1);
}

void changed_boxes(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after,
                   std::vector<PixelBox>& changed) {
    sorted_before.assign(before.begin(), before.end());
    sorted_after.assign(after.begin(), after.end());
    std::sort(sorted_before.begin(), sorted_before.end(), command_less);
    std::sort(sorted_after.begin(), sorted_after.end(), command_less);
    difference.clear();
    std::set_symmetric_difference(sorted_before.begin(), sorted_before.end(), sorted_after.begin(),
                                  sorted_after.end(), std::back_inserter(difference), command_less);
    changed.clear();
    for (const DrawCommand& command : difference)
        changed.push_back(command_box(command));
}
