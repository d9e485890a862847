#include "view/qt/view_window.h"

#include "ui/qt/board_png.h"
#include "view/qt/file_text.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int SIDE_WIDTH = 360;

QLabel* text_label(QWidget* parent) {
    QLabel* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// What the keys of the window do to the model.
bool view_key_of(int key, ViewKey& view_key) {
    switch (key) {
    case Qt::Key_Left:
        view_key = ViewKey::back;
        return true;
    case Qt::Key_Right:
        view_key = ViewKey::forward;
        return true;
    case Qt::Key_PageUp:
        view_key = ViewKey::back_ten;
        return true;
    case Qt::Key_PageDown:
        view_key = ViewKey::forward_ten;
        return true;
    case Qt::Key_Home:
        view_key = ViewKey::start;
        return true;
    case Qt::Key_End:
        view_key = ViewKey::end;
        return true;
    case Qt::Key_N:
        view_key = ViewKey::next_game;
        return true;
    case Qt::Key_P:
        view_key = ViewKey::previous_game;
        return true;
    case Qt::Key_F:
        view_key = ViewKey::follow;
        return true;
    default:
        return false;
    }
}

} // namespace

ViewWindow::ViewWindow(ViewModel model) : view(std::move(model)) {
    board = new QLabel(this);
    move_text = text_label(this);
    time_text = text_label(this);
    game_text = text_label(this);
    notes_text = text_label(this);
    slider = new QSlider(Qt::Horizontal, this);
    game_list = new QListWidget(this);
    // The keys belong to the window: neither the slider nor the list takes them.
    slider->setFocusPolicy(Qt::NoFocus);
    game_list->setFocusPolicy(Qt::NoFocus);
    game_list->setWordWrap(true);
    sync_game_list(0);

    // The texts beside the board keep a width of their own: long names wrap, they do not
    // widen the window.
    QWidget* side = new QWidget(this);
    side->setFixedWidth(SIDE_WIDTH);
    QVBoxLayout* texts = new QVBoxLayout(side);
    for (QWidget* part : {static_cast<QWidget*>(move_text), static_cast<QWidget*>(time_text),
                          static_cast<QWidget*>(game_text), static_cast<QWidget*>(notes_text),
                          static_cast<QWidget*>(game_list)})
        texts->addWidget(part);
    QVBoxLayout* left = new QVBoxLayout;
    left->addWidget(board);
    left->addWidget(slider);
    left->addStretch();
    texts->setContentsMargins(0, 8, 8, 8);
    // The board at the window's corner, as in the Linux window: a point's pixel is the same.
    rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(side);
    rows->addLayout(columns);

    connect(slider, &QSlider::valueChanged, this, [this](int move) {
        choose_move(view, move);
        show_position();
    });
    connect(game_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        choose_game(view, row);
        show_position();
    });
    setFocusPolicy(Qt::StrongFocus);
    show_position();
}

void ViewWindow::sync_game_list(size_t first) {
    const QSignalBlocker quiet(game_list);
    const int count = static_cast<int>(view.games.size());
    while (game_list->count() > count)
        delete game_list->takeItem(game_list->count() - 1);
    for (int row = static_cast<int>(first); row < count; ++row) {
        const QString label = file_text(view.games[static_cast<size_t>(row)].label);
        if (row < game_list->count())
            game_list->item(row)->setText(label);
        else
            game_list->addItem(label);
    }
}

bool ViewWindow::save_png(const QString& path) const {
    return image.save(path, "PNG");
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Save)) {
        const QString path =
            QFileDialog::getSaveFileName(this, "Save the board", QString(), "PNG images (*.png)");
        if (!path.isEmpty() && !save_png(path))
            QMessageBox::warning(this, "Fendrel view", "Cannot write " + path);
        return;
    }
    ViewKey key;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier) ||
        !view_key_of(event->key(), key))
        return QWidget::keyPressEvent(event);
    press_view_key(view, key);
    show_position();
}

void ViewWindow::show_position() {
    const ViewTexts texts = show_view(view);
    setWindowTitle(QString::fromStdString(texts.title));
    image = board_image(texts.board);
    board->setPixmap(QPixmap::fromImage(image));
    // A game on a board of another size: the window takes the size its parts now need.
    if (board->size() != image.size()) {
        board->setFixedSize(image.size());
        slider->setFixedWidth(image.width());
        if (isVisible())
            adjustSize();
    }
    move_text->setText(QString::fromStdString(texts.move));
    time_text->setText(QString::fromStdString(texts.time));
    time_text->setVisible(!texts.time.empty());
    game_text->setText(file_text(texts.game));
    notes_text->setText(file_text(texts.notes));
    notes_text->setVisible(!texts.notes.empty());
    const QSignalBlocker slider_quiet(slider);
    slider->setRange(0, view.last_move);
    slider->setValue(view.move);
    const QSignalBlocker list_quiet(game_list);
    game_list->setCurrentRow(view.games.empty() ? -1 : view.game);
    if (game_list->currentItem())
        game_list->scrollToItem(game_list->currentItem());
}
