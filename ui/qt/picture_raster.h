// Carries out the board picture's commands into an image, pixel for pixel as the Windows
// program's GDI calls draw them, without antialiasing: fills cover their rectangle, lines
// leave out their end point, and discs take the pixels that GDI's Ellipse fills with a
// null pen (measured under Wine for the boxes of 8, 14 and 29 pixels the board uses).
#pragma once

#include "ui/board_picture.h"

#include <QImage>

#include <vector>

// The first and last column that a disc fills in row y, or false when it fills none there.
bool disc_row_span(const DrawCommand& disc, int32_t y, int32_t& first, int32_t& last);

// Draws the commands in order into image (QImage::Format_RGB32); what falls outside the
// image is left out.
void render_picture(const std::vector<DrawCommand>& picture, QImage& image);
