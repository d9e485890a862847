#include "ui/qt/picture_raster.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The colour as a pixel of an RGB32 image.
QRgb rgb_of(Colour colour) {
    return qRgb(colour.r, colour.g, colour.b);
}

// Sets the pixels x0..x1 (inclusive) of row y, clipped to the image.
void fill_span(QImage& image, int32_t y, int32_t x0, int32_t x1, QRgb colour) {
    if (y < 0 || y >= image.height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width() - 1);
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = x0; x <= x1; ++x)
        row[x] = colour;
}

// A fill: the rectangle without its right and bottom edges.
void fill_rect(const DrawCommand& command, QImage& image) {
    for (int32_t y = command.y0; y < command.y1; ++y)
        fill_span(image, y, command.x0, command.x1 - 1, rgb_of(command.colour));
}

// Bresenham's line from (x0, y0) towards (x1, y1), the end point left out as GDI's LineTo
// does; the board's lines are all horizontal or vertical, which this draws exactly.
void draw_line(const DrawCommand& command, QImage& image) {
    const QRgb colour = rgb_of(command.colour);
    int32_t x = command.x0;
    int32_t y = command.y0;
    const int32_t dx = std::abs(command.x1 - x);
    const int32_t dy = -std::abs(command.y1 - y);
    const int32_t step_x = x < command.x1 ? 1 : -1;
    const int32_t step_y = y < command.y1 ? 1 : -1;
    int32_t error = dx + dy;
    while (x != command.x1 || y != command.y1) {
        fill_span(image, y, x, x, colour);
        const int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += step_x;
        }
        if (twice <= dx) {
            error += dx;
            y += step_y;
        }
    }
}

// A disc, row by row.
void fill_disc(const DrawCommand& command, QImage& image) {
    const QRgb colour = rgb_of(command.colour);
    for (int32_t y = command.y0; y < command.y1; ++y) {
        int32_t first;
        int32_t last;
        if (disc_row_span(command, y, first, last))
            fill_span(image, y, first, last, colour);
    }
}

} // namespace

bool disc_row_span(const DrawCommand& disc, int32_t y, int32_t& first, int32_t& last) {
    // Doubled coordinates keep the centre of an even box on the integer grid. A pixel is
    // filled when the midpoint between it and its outer neighbour (outward along the
    // steeper axis, as a midpoint circle walks each octant) lies strictly inside the
    // circle of diameter width - 1. That reproduces the spans of GDI's Ellipse under Wine
    // for every square box from 3 to 40 pixels (a 2-pixel box, where GDI fills one pixel,
    // fills none here). A box of other proportions is the same test stretched to an
    // ellipse; the board draws none.
    const int64_t width = disc.x1 - disc.x0;
    const int64_t height = disc.y1 - disc.y0;
    if (width < 2 || height < 2)
        return false;
    const int64_t radius_x = width - 1; // doubled radii
    const int64_t radius_y = height - 1;
    const int64_t radius = radius_x * radius_y;
    const int64_t dy = std::abs(2 * int64_t{y} - (2 * int64_t{disc.y0} + height - 1)) * radius_x;
    for (int32_t x = disc.x0; 2 * int64_t{x} < 2 * int64_t{disc.x0} + width; ++x) {
        const int64_t dx = (2 * int64_t{disc.x0} + width - 1 - 2 * int64_t{x}) * radius_y;
        const int64_t mx = dx <= dy ? dx : dx - radius_y;
        const int64_t my = dx <= dy ? dy - radius_x : dy;
        if (mx * mx + my * my < radius * radius) {
            first = x;
            last = disc.x1 - 1 - (x - disc.x0);
            return true;
        }
    }
    return false;
}

void render_picture(const std::vector<DrawCommand>& picture, QImage& image) {
    for (const DrawCommand& command : picture) {
        switch (command.shape) {
        case Shape::fill:
            fill_rect(command, image);
            break;
        case Shape::line:
            draw_line(command, image);
            break;
        case Shape::disc:
            fill_disc(command, image);
            break;
        }
    }
}
