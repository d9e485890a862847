// What fendrel-view's window shows at a point of its board, for its tests.
#pragma once

#include "ui/board_picture.h"
#include "view/qt/view_window.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

// The colour the board shows inside the dot at the point (x, y), off its latest mark.
inline Colour colour_at(const ViewWindow& window, int x, int y) {
    const QImage image = window.board->pixmap().toImage();
    const QRgb pixel = image.pixel(20 + 20 * x + 4, 20 + 20 * y + 4);
    return {static_cast<uint8_t>(qRed(pixel)), static_cast<uint8_t>(qGreen(pixel)),
            static_cast<uint8_t>(qBlue(pixel))};
}
