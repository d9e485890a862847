// The Qt window's rasterizer against what the Windows program's GDI calls draw: disc spans
// measured from Ellipse with a null pen under Wine, lines without their end point, fills,
// clipping and drawing order.
#include "ui/qt/picture_raster.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Spans = std::vector<std::pair<int, int>>;

// Columns first..last of each row of a square disc, relative to its box, as GDI fills them.
// The board uses these three sizes: the latest-dot mark, the dot and the enclosure disc.
const Spans GDI_DISC_8 = {{2, 5}, {1, 6}, {0, 7}, {0, 7}, {0, 7}, {0, 7}, {1, 6}, {2, 5}};
const Spans GDI_DISC_14 = {{5, 8},  {3, 10}, {2, 11}, {1, 12}, {1, 12}, {0, 13}, {0, 13},
                           {0, 13}, {0, 13}, {1, 12}, {1, 12}, {2, 11}, {3, 10}, {5, 8}};
const Spans GDI_DISC_29 = {{11, 17}, {8, 20}, {7, 21}, {5, 23}, {4, 24}, {3, 25}, {3, 25}, {2, 26},
                           {1, 27},  {1, 27}, {1, 27}, {0, 28}, {0, 28}, {0, 28}, {0, 28}, {0, 28},
                           {0, 28},  {0, 28}, {1, 27}, {1, 27}, {1, 27}, {2, 26}, {3, 25}, {3, 25},
                           {4, 24},  {5, 23}, {7, 21}, {8, 20}, {11, 17}};

const Colour RED{255, 0, 0};
const Colour BLUE{0, 0, 255};
const QRgb WHITE = qRgb(255, 255, 255);

QImage blank_image(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(WHITE);
    return image;
}

// The spans of the pixels of the given colour, row by row, over rows y0..y1 - 1.
Spans painted_spans(const QImage& image, QRgb colour, int y0, int y1, int x_origin) {
    Spans spans;
    for (int y = y0; y < y1; ++y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != colour)
                continue;
            if (first < 0)
                first = x - x_origin;
            last = x - x_origin;
        }
        spans.emplace_back(first, last);
    }
    return spans;
}

TEST(DiscRaster, MatchesGdiForTheBoardsThreeSizes) {
    for (const Spans* gdi : {&GDI_DISC_8, &GDI_DISC_14, &GDI_DISC_29}) {
        const int size = static_cast<int>(gdi->size());
        QImage image = blank_image(64, 64);
        // An odd origin, so that nothing depends on the box starting at 0.
        render_picture({{Shape::disc, 7, 9, 7 + size, 9 + size, RED}}, image);
        EXPECT_EQ(painted_spans(image, qRgb(255, 0, 0), 9, 9 + size, 7), *gdi) << size;
        EXPECT_EQ(painted_spans(image, qRgb(255, 0, 0), 9 + size, 64, 7),
                  Spans(64 - 9 - size, {-1, -1}))
            << "nothing below the box, size " << size;
    }
}

TEST(DiscRaster, RowSpansAreSymmetricAndEmptyOutsideTheBox) {
    const DrawCommand disc{Shape::disc, 100, 200, 129, 229, RED};
    int32_t first = 0;
    int32_t last = 0;
    EXPECT_FALSE(disc_row_span(disc, 199, first, last));
    EXPECT_FALSE(disc_row_span(disc, 229, first, last));
    ASSERT_TRUE(disc_row_span(disc, 200, first, last));
    EXPECT_EQ(first, 111);
    EXPECT_EQ(last, 117);
    ASSERT_TRUE(disc_row_span(disc, 214, first, last));
    EXPECT_EQ(first, 100);
    EXPECT_EQ(last, 128);
    // A box too small to hold a pixel's midpoint test fills nothing.
    EXPECT_FALSE(disc_row_span({Shape::disc, 0, 0, 1, 1, RED}, 0, first, last));
}

TEST(LineRaster, LeavesOutTheEndPoint) {
    QImage image = blank_image(16, 16);
    render_picture({{Shape::line, 2, 3, 9, 3, RED},     // left to right
                    {Shape::line, 12, 2, 12, 10, BLUE}, // top to bottom
                    {Shape::line, 9, 5, 4, 5, RED}},    // right to left
                   image);
    EXPECT_EQ(painted_spans(image, qRgb(255, 0, 0), 3, 4, 0), Spans({{2, 8}}));
    EXPECT_EQ(painted_spans(image, qRgb(255, 0, 0), 5, 6, 0), Spans({{5, 9}}));
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(image.pixel(12, y) == qRgb(0, 0, 255), y >= 2 && y < 10) << y;
    // A line to its own start draws nothing.
    QImage dot = blank_image(4, 4);
    render_picture({{Shape::line, 1, 1, 1, 1, RED}}, dot);
    EXPECT_EQ(dot.pixel(1, 1), WHITE);
}

TEST(FillRaster, CoversItsRectangleAndLaterCommandsLieOnTop) {
    QImage image = blank_image(8, 8);
    render_picture({{Shape::fill, 1, 2, 5, 4, RED}, {Shape::fill, 4, 3, 6, 6, BLUE}}, image);
    EXPECT_EQ(image.pixel(1, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 3), qRgb(0, 0, 255)); // blue drawn over red
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 2), WHITE);
    EXPECT_EQ(image.pixel(5, 2), WHITE); // right and bottom edges excluded
    EXPECT_EQ(image.pixel(1, 4), WHITE);
    EXPECT_EQ(image.pixel(6, 5), WHITE);
}

TEST(Clipping, CommandsReachingPastTheImageDrawOnlyInside) {
    QImage image = blank_image(10, 10);
    render_picture({{Shape::fill, -5, -5, 100, 3, RED},
                    {Shape::line, -3, 8, 40, 8, BLUE},
                    {Shape::disc, 4, 4, 33, 33, BLUE},
                    {Shape::disc, -100, -100, -50, -50, RED}},
                   image);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(9, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 8), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(9, 9), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 5), WHITE);
}

} // namespace
