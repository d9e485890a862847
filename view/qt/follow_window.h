// fendrel-view --follow: the viewer's window (view_window.h) on a match as it is played. Beside
// the board and the list of games: the standings of the finished games, the plot of the
// ratings (rating_plot.h), and under them a status line. The files are looked at by a poller
// of their own (follow_poller.h); what it finds goes through the model (view/follow_model.h).
#pragma once

#include "view/follow_model.h"
#include "view/qt/view_window.h"

#include <memory>

class FollowPoller;
class QPlainTextEdit;
class RatingPlot;

class FollowWindow : public ViewWindow {
    Q_OBJECT

  public:
    FollowWindow(ViewModel model, FollowState state);
    ~FollowWindow() override;

    const FollowState& follow() const { return state; }

    QPlainTextEdit* standings = nullptr;
    RatingPlot* plot = nullptr;
    QLabel* status = nullptr;

  private:
    // Brings the window up to what a look at the files found.
    void take_update(FollowUpdate update);

    FollowState state;
    std::unique_ptr<FollowPoller> poller;
};
