// The plot of a followed match's ratings against the games finished (view/rating_history.h),
// painted with QPainter: for two engines the Elo difference with its 95% band, and under it
// the SPRT's log-likelihood ratio between its bounds when the match has one; for more, each
// engine's rating in a colour of its own. Axes with ticks and labels, the zero line, and a
// legend with the engines' names and colours.
#pragma once

#include "view/rating_history.h"

#include <QColor>
#include <QWidget>

class RatingPlot : public QWidget {
    Q_OBJECT

  public:
    explicit RatingPlot(QWidget* parent = nullptr);

    void set_series(const RatingSeries& series);
    const RatingSeries& series() const { return shown; }

    // The colour of line `index`: the same engine keeps its colour as the games go on.
    static QColor line_colour(size_t index);

    QSize sizeHint() const override { return {560, 420}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    RatingSeries shown;
};
