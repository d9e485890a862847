// Board pictures carried out in GDI, into the painter's back buffer. Window's thread only.
#pragma once

#include "ui/board_picture.h"

#include <windows.h>

#include <vector>

// Makes the four dot brushes, side 2's first, unless they exist already; they are kept
// until the process ends.
void create_dot_brushes();

// Draws every command of the picture into dc.
void draw_picture(HDC dc, const std::vector<DrawCommand>& picture);

// Brings dc, which holds the picture `before`, to the picture `after` by redrawing only
// where they differ: the commands of `after` that meet a changed box, clipped to those boxes.
void redraw_changes(HDC dc, const std::vector<DrawCommand>& before,
                    const std::vector<DrawCommand>& after);
