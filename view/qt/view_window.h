// fendrel-view's window: the board as the Linux window paints it, the texts of the shown
// position beside it, a slider over the moves and the list of the file's games. What it
// shows is the model's (view/view_model.h); the window only passes keys and picks to it.
// The window that follows a match (follow_window.h) adds its parts to these.
#pragma once

#include "view/view_model.h"

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QSlider;
class QVBoxLayout;

class ViewWindow : public QWidget {
    Q_OBJECT

  public:
    explicit ViewWindow(ViewModel model);

    const ViewModel& model() const { return view; }

    // Saves the shown board as PNG, as Ctrl+S does after asking for the path.
    bool save_png(const QString& path) const;

    QLabel* board = nullptr;
    QLabel* move_text = nullptr;
    QLabel* time_text = nullptr;
    QLabel* game_text = nullptr;
    QLabel* notes_text = nullptr;
    QSlider* slider = nullptr;
    QListWidget* game_list = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

    // Replays the shown position and brings every part of the window up to it.
    void show_position();

    // Brings the list's rows from `first` on up to the model's games.
    void sync_game_list(size_t first);

    ViewModel view;
    QHBoxLayout* columns = nullptr; // the board, the texts beside it, and any more
    QVBoxLayout* rows = nullptr;    // those columns, and any line under them

  private:
    QImage image;
};
