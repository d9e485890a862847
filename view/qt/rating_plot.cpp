#include "view/qt/rating_plot.h"

#include "view/plot_axes.h"
#include "view/qt/file_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Room around the panels: the ticks' labels and the axes' titles.
constexpr int LEFT = 64;
constexpr int RIGHT = 16;
constexpr int TOP = 6;
constexpr int BOTTOM = 42;
constexpr int PANEL_GAP = 16;
constexpr int LEGEND_ROW = 18;
constexpr int SWATCH = 22;
// About how many steps each axis is cut into.
constexpr int X_STEPS = 6;
constexpr int Y_STEPS = 5;
// The SPRT's panel's share of the height.
constexpr double LLR_SHARE = 0.38;

const QColor GRID(225, 225, 225);
const QColor AXIS(90, 90, 90);
const QColor ZERO(40, 40, 40);
const QColor LLR_COLOUR(230, 120, 20);
const QColor BOUND_COLOUR(120, 120, 120);

// A panel: where it is and what its axes span.
struct Panel {
    QRectF area;
    Axis x;
    Axis y;

    double px(double games) const {
        return area.left() + (games - x.low) / (x.high - x.low) * area.width();
    }
    // A value past the axis (an interval's end at infinity) sits just past its edge.
    double py(double value) const {
        const double clamped =
            std::clamp(value, y.low - (y.high - y.low) / 100, y.high + (y.high - y.low) / 100);
        return area.bottom() - (clamped - y.low) / (y.high - y.low) * area.height();
    }
};

// The grid, the ticks' labels and the zero line of a panel; the games' labels under it when
// it is the lowest.
void draw_axes(QPainter& painter, const Panel& panel, const QString& title, bool lowest) {
    const QFontMetrics metrics = painter.fontMetrics();
    for (const double tick : panel.y.ticks) {
        const double y = panel.py(tick);
        painter.setPen(GRID);
        painter.drawLine(QPointF(panel.area.left(), y), QPointF(panel.area.right(), y));
        painter.setPen(AXIS);
        const QString label = QString::fromStdString(tick_label(tick, panel.y.decimals));
        painter.drawText(QRectF(panel.area.left() - LEFT + 18, y - 8, LEFT - 24, 16),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (const double tick : panel.x.ticks) {
        const double x = panel.px(tick);
        painter.setPen(GRID);
        painter.drawLine(QPointF(x, panel.area.top()), QPointF(x, panel.area.bottom()));
        if (!lowest)
            continue;
        painter.setPen(AXIS);
        const QString label = QString::fromStdString(tick_label(tick, panel.x.decimals));
        painter.drawText(QRectF(x - 40, panel.area.bottom() + 3, 80, 16), Qt::AlignHCenter, label);
    }
    if (panel.y.low < 0 && panel.y.high > 0) {
        painter.setPen(QPen(ZERO, 1.5));
        painter.drawLine(QPointF(panel.area.left(), panel.py(0)),
                         QPointF(panel.area.right(), panel.py(0)));
    }
    painter.setPen(AXIS);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.area);
    if (lowest)
        painter.drawText(
            QRectF(panel.area.left(), panel.area.bottom() + 20, panel.area.width(), 16),
            Qt::AlignHCenter, "games finished");
    // The panel's title along its left edge.
    painter.save();
    painter.translate(panel.area.left() - LEFT + 2, panel.area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-panel.area.height() / 2, 0, panel.area.height(), metrics.height()),
                     Qt::AlignHCenter, title);
    painter.restore();
}

// The 95% band of a line: a shape over each run of points that have both ends.
void draw_band(QPainter& painter, const Panel& panel, const std::vector<PlotPoint>& points,
               QColor colour) {
    colour.setAlpha(55);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (size_t start = 0; start < points.size();) {
        size_t end = start;
        while (end < points.size() && !std::isnan(points[end].low) &&
               !std::isnan(points[end].high) && std::isfinite(points[end].value))
            ++end;
        if (end > start) {
            QPolygonF shape;
            for (size_t i = start; i < end; ++i)
                shape << QPointF(panel.px(points[i].games), panel.py(points[i].high));
            for (size_t i = end; i-- > start;)
                shape << QPointF(panel.px(points[i].games), panel.py(points[i].low));
            painter.drawPolygon(shape);
        }
        start = end + 1;
    }
}

// A line through the points with a finite value; a lone point is a dot.
void draw_line(QPainter& painter, const Panel& panel, const std::vector<PlotPoint>& points,
               const QPen& pen) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    bool drawing = false;
    for (size_t i = 0; i < points.size(); ++i) {
        const PlotPoint& point = points[i];
        if (!std::isfinite(point.value)) {
            drawing = false;
            continue;
        }
        const QPointF at(panel.px(point.games), panel.py(point.value));
        const bool alone =
            !drawing && (i + 1 == points.size() || !std::isfinite(points[i + 1].value));
        if (alone) {
            painter.setBrush(pen.color());
            painter.drawEllipse(at, 2.5, 2.5);
            painter.setBrush(Qt::NoBrush);
        }
        if (drawing)
            path.lineTo(at);
        else
            path.moveTo(at);
        drawing = true;
    }
    painter.drawPath(path);
}

struct LegendEntry {
    QString text;
    QColor colour;
    Qt::PenStyle style;
    bool band;
};

// The legend in rows across the top; its height.
int draw_legend(QPainter& painter, const std::vector<LegendEntry>& entries, int width) {
    const QFontMetrics metrics = painter.fontMetrics();
    int x = LEFT;
    int y = TOP;
    for (const LegendEntry& entry : entries) {
        const int entry_width = SWATCH + 6 + metrics.horizontalAdvance(entry.text) + 18;
        if (x > LEFT && x + entry_width > width - RIGHT) {
            x = LEFT;
            y += LEGEND_ROW;
        }
        const int middle = y + LEGEND_ROW / 2;
        if (entry.band) {
            QColor fill = entry.colour;
            fill.setAlpha(55);
            painter.fillRect(QRect(x, middle - 5, SWATCH, 10), fill);
        }
        painter.setPen(QPen(entry.colour, 2, entry.style));
        painter.drawLine(x, middle, x + SWATCH, middle);
        painter.setPen(AXIS);
        painter.drawText(QRect(x + SWATCH + 6, y, entry_width, LEGEND_ROW), Qt::AlignVCenter,
                         entry.text);
        x += entry_width;
    }
    return y + LEGEND_ROW - TOP;
}

} // namespace

RatingPlot::RatingPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 240);
}

QColor RatingPlot::line_colour(size_t index) {
    static const QColor COLOURS[] = {{31, 119, 180},  {214, 39, 40},  {44, 160, 44},
                                     {148, 103, 189}, {140, 86, 75},  {23, 190, 207},
                                     {227, 119, 194}, {188, 189, 34}, {127, 127, 127}};
    return COLOURS[index % std::size(COLOURS)];
}

void RatingPlot::set_series(const RatingSeries& series) {
    shown = series;
    update();
}

void RatingPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (shown.games == 0 || shown.lines.empty()) {
        painter.setPen(AXIS);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         "The plot of the ratings starts with the first finished game.");
        return;
    }
    std::vector<LegendEntry> legend;
    for (size_t i = 0; i < shown.lines.size(); ++i)
        legend.push_back({file_text(shown.lines[i].name) +
                              (shown.difference ? ": Elo difference, 95% interval" : ""),
                          line_colour(i), Qt::SolidLine, shown.difference});
    if (shown.sprt) {
        legend.push_back({"SPRT log-likelihood ratio", LLR_COLOUR, Qt::SolidLine, false});
        legend.push_back({"its bounds", BOUND_COLOUR, Qt::DashLine, false});
    }
    const int top = TOP + draw_legend(painter, legend, width()) + 8;
    const double height_left = height() - top - BOTTOM;
    const double elo_height =
        shown.sprt ? (height_left - PANEL_GAP) * (1 - LLR_SHARE) : height_left;
    const Axis x =
        axis_over(0, std::max(shown.games, 1), std::min(X_STEPS, std::max(shown.games, 1)));
    double low = 0;
    double high = 0;
    elo_range(shown, low, high);
    const Panel elo{QRectF(LEFT, top, width() - LEFT - RIGHT, elo_height), x,
                    axis_over(low, high, Y_STEPS)};
    draw_axes(painter, elo, shown.difference ? "Elo difference" : "Elo", !shown.sprt);
    painter.save();
    painter.setClipRect(elo.area);
    for (size_t i = 0; i < shown.lines.size(); ++i) {
        if (shown.difference)
            draw_band(painter, elo, shown.lines[i].points, line_colour(i));
        draw_line(painter, elo, shown.lines[i].points, QPen(line_colour(i), 2));
    }
    painter.restore();
    const bool any_finite =
        std::any_of(shown.lines.begin(), shown.lines.end(), [](const PlotLine& line) {
            return std::any_of(line.points.begin(), line.points.end(),
                               [](const PlotPoint& point) { return std::isfinite(point.value); });
        });
    if (!any_finite) {
        painter.setPen(AXIS);
        painter.drawText(elo.area, Qt::AlignCenter | Qt::TextWordWrap,
                         "No finite rating yet (an engine won or lost every game): see the "
                         "standings.");
    }
    if (!shown.sprt)
        return;
    llr_range(shown, low, high);
    const Panel llr{QRectF(LEFT, elo.area.bottom() + PANEL_GAP, elo.area.width(),
                           height_left - PANEL_GAP - elo_height),
                    x, axis_over(low, high, Y_STEPS - 1)};
    draw_axes(painter, llr, "LLR", true);
    painter.save();
    painter.setClipRect(llr.area);
    for (const double bound : {shown.lower_bound, shown.upper_bound}) {
        painter.setPen(QPen(BOUND_COLOUR, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(llr.area.left(), llr.py(bound)),
                         QPointF(llr.area.right(), llr.py(bound)));
    }
    draw_line(painter, llr, shown.llr, QPen(LLR_COLOUR, 2));
    painter.restore();
}
