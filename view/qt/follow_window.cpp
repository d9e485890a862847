#include "view/qt/follow_window.h"

#include "view/qt/file_text.h"
#include "view/qt/follow_poller.h"
#include "view/qt/rating_plot.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int STANDINGS_WIDTH = 620;
constexpr int STANDINGS_HEIGHT = 250;

} // namespace

FollowWindow::FollowWindow(ViewModel model, FollowState follow)
    : ViewWindow(std::move(model)), state(std::move(follow)) {
    standings = new QPlainTextEdit(this);
    standings->setReadOnly(true);
    standings->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(9);
    standings->setFont(fixed);
    standings->setFocusPolicy(Qt::NoFocus);
    standings->setFixedHeight(STANDINGS_HEIGHT);
    standings->setPlainText("Reading " + QString::fromStdString(state.results_path) + "...");
    plot = new RatingPlot(this);
    status = new QLabel(this);
    status->setTextFormat(Qt::PlainText);
    status->setWordWrap(true);
    status->setFrameShape(QFrame::StyledPanel);
    status->setContentsMargins(6, 3, 6, 3);
    status->setText("Reading " + QString::fromStdString(state.results_path) + "...");

    QWidget* match = new QWidget(this);
    match->setFixedWidth(STANDINGS_WIDTH);
    QVBoxLayout* parts = new QVBoxLayout(match);
    parts->setContentsMargins(0, 8, 8, 8);
    parts->addWidget(standings);
    parts->addWidget(plot, 1);
    columns->addWidget(match);
    rows->addWidget(status);

    poller = std::make_unique<FollowPoller>(
        state.results_path, this, [this](FollowUpdate update) { take_update(std::move(update)); });
}

// The poller goes first: no look reports to a window being taken apart.
FollowWindow::~FollowWindow() {
    poller.reset();
}

void FollowWindow::take_update(FollowUpdate update) {
    const FollowChanges changes = apply_follow_update(view, state, std::move(update));
    if (!changes.any)
        return;
    sync_game_list(changes.first_game);
    show_position();
    if (changes.standings) {
        standings->setPlainText(file_text(state.standings));
        plot->set_series(state.history.series());
    }
    status->setText(file_text(state.status));
}
