#include "ui/qt/message_boxes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <vector>

// A reader's request lives on its stack while it waits; the window's thread touches it
// only under `lock` and only while the boxes are not released, since once they are its
// reader may already have returned. The boxes themselves belong to the window's thread.
namespace {

struct ReaderBox {
    const char* text;
    const char* caption;
    bool closed = false;
};

// Never destroyed: readers released by the close may still be on their way out of a wait
// while the window's thread ends the process.
std::mutex& lock = *new std::mutex;
std::condition_variable& box_closed = *new std::condition_variable;
bool released = false;
std::vector<QMessageBox*> open_reader_boxes; // window's thread only

// A box without owner or modality, so the main window goes on painting, ticking and
// taking clicks.
QMessageBox* make_box(const char* text, const char* caption) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(caption),
                                QString::fromUtf8(text), QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

// Window's thread: opens the box a reader waits for.
void open_reader_box(ReaderBox* request) {
    {
        std::lock_guard guard(lock);
        if (released)
            return;
    }
    QMessageBox* box = make_box(request->text, request->caption);
    open_reader_boxes.push_back(box);
    QObject::connect(box, &QMessageBox::finished, [box, request] {
        std::erase(open_reader_boxes, box);
        std::lock_guard guard(lock);
        if (released)
            return;
        request->closed = true;
        box_closed.notify_all();
    });
    box->show();
}

} // namespace

void show_message_box(const char* text, const char* caption) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        QMessageBox* box = make_box(text, caption);
        QEventLoop loop;
        QObject::connect(box, &QMessageBox::finished, &loop, &QEventLoop::quit);
        box->show();
        loop.exec();
        return;
    }
    ReaderBox request{text, caption};
    std::unique_lock guard(lock);
    if (released)
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&request] { open_reader_box(&request); },
        Qt::QueuedConnection);
    box_closed.wait(guard, [&request] { return request.closed || released; });
}

void release_reader_boxes() {
    {
        std::lock_guard guard(lock);
        released = true;
        box_closed.notify_all();
    }
    for (QMessageBox* box : std::vector<QMessageBox*>(open_reader_boxes))
        box->close();
}
