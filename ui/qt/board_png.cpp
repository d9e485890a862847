#include "ui/qt/board_png.h"

#include "ui/board_picture.h"
#include "ui/qt/picture_raster.h"

#include <vector>

QImage board_image(const Board& board) {
    // The window's client area: the board above the status bar, which the image leaves out.
    const int32_t width = board_area_width(board.board_cols);
    const int32_t height = board_area_height(board.board_rows);
    std::vector<DrawCommand> picture;
    build_board_picture(board, width, height + STATUS_BAR_HEIGHT, picture);
    QImage image(width, height, QImage::Format_RGB32);
    render_picture(picture, image);
    return image;
}

bool save_board_png(const Board& board, const char* path) {
    return board_image(board).save(path, "PNG");
}
