#include "ui/win32/gdi_picture.h"

#include "ui/picture_change.h"

namespace {

HBRUSH side1_brush;
HBRUSH side1_enclosed_brush;
HBRUSH side2_brush;
HBRUSH side2_enclosed_brush;
// The clip region of a redraw and one piece of it; made once, reshaped by every redraw.
HRGN clip_region;
HRGN clip_piece;
std::vector<PixelBox> changed;

// A solid brush of the colour.
HBRUSH solid_brush(Colour colour) {
    const LOGBRUSH brush{BS_SOLID, RGB(colour.r, colour.g, colour.b), 0};
    return CreateBrushIndirect(&brush);
}

// The brush that paints a colour of the picture: a dot brush or a stock one.
HBRUSH brush_for(Colour colour) {
    if (colour == SIDE1_COLOUR)
        return side1_brush;
    if (colour == SIDE1_ENCLOSED_COLOUR)
        return side1_enclosed_brush;
    if (colour == SIDE2_COLOUR)
        return side2_brush;
    if (colour == SIDE2_ENCLOSED_COLOUR)
        return side2_enclosed_brush;
    if (colour == ENCLOSURE_COLOUR)
        return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    if (colour == LATEST_MARK_COLOUR)
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

// Draws one command; grid lines take the black stock pen, discs the null pen so that they
// have no outline.
void draw(HDC dc, const DrawCommand& command) {
    switch (command.shape) {
    case Shape::fill: {
        const RECT box{command.x0, command.y0, command.x1, command.y1};
        FillRect(dc, &box, brush_for(command.colour));
        break;
    }
    case Shape::line:
        SelectObject(dc, GetStockObject(BLACK_PEN));
        MoveToEx(dc, command.x0, command.y0, nullptr);
        LineTo(dc, command.x1, command.y1);
        break;
    case Shape::disc:
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, brush_for(command.colour));
        Ellipse(dc, command.x0, command.y0, command.x1, command.y1);
        break;
    }
}

// Whether the command touches a changed box.
bool meets_a_change(const DrawCommand& command) {
    const PixelBox box = command_box(command);
    for (const PixelBox& change : changed)
        if (boxes_meet(box, change))
            return true;
    return false;
}

// Makes the clip region the union of the changed boxes.
void clip_to_changes(HDC dc) {
    if (!clip_region) {
        clip_region = CreateRectRgn(0, 0, 0, 0);
        clip_piece = CreateRectRgn(0, 0, 0, 0);
    }
    SetRectRgn(clip_region, 0, 0, 0, 0);
    for (const PixelBox& box : changed) {
        SetRectRgn(clip_piece, box.x0, box.y0, box.x1, box.y1);
        CombineRgn(clip_region, clip_region, clip_piece, RGN_OR);
    }
    SelectClipRgn(dc, clip_region);
}

} // namespace

void create_dot_brushes() {
    if (side1_brush)
        return;
    side2_brush = solid_brush(SIDE2_COLOUR);
    side2_enclosed_brush = solid_brush(SIDE2_ENCLOSED_COLOUR);
    side1_brush = solid_brush(SIDE1_COLOUR);
    side1_enclosed_brush = solid_brush(SIDE1_ENCLOSED_COLOUR);
}

void draw_picture(HDC dc, const std::vector<DrawCommand>& picture) {
    for (const DrawCommand& command : picture)
        draw(dc, command);
}

void redraw_changes(HDC dc, const std::vector<DrawCommand>& before,
                    const std::vector<DrawCommand>& after) {
    changed_boxes(before, after, changed);
    if (changed.empty())
        return;
    clip_to_changes(dc);
    for (const DrawCommand& command : after)
        if (meets_a_change(command))
            draw(dc, command);
    SelectClipRgn(dc, nullptr);
}
