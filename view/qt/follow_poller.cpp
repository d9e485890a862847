#include "view/qt/follow_poller.h"

#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// What the poller's thread and the window's share: the thread holds it as long as it runs,
// so that it outlives a window that did not wait for it.
struct FollowPoller::Shared {
    std::mutex lock;
    std::condition_variable wake;
    bool stop = false;  // set by the window's thread: post nothing more, end
    bool ended = false; // set by the poller's thread as it ends
};

namespace {

// How long the window's close waits for a look under way.
constexpr auto END_WAIT = std::chrono::seconds(1);

} // namespace

FollowPoller::FollowPoller(std::string results_path, QObject* receiver,
                           std::function<void(FollowUpdate)> report)
    : shared(std::make_shared<Shared>()) {
    std::thread([state = shared, path = std::move(results_path), receiver,
                 report = std::move(report)] {
        FollowReader reader(path);
        std::unique_lock lock(state->lock);
        while (!state->stop) {
            lock.unlock();
            FollowUpdate update = reader.poll();
            lock.lock();
            if (state->stop)
                break;
            // Posted under the lock that the destructor takes to stop: once it has, nothing
            // is posted, and what was posted before goes with the receiver.
            QMetaObject::invokeMethod(
                receiver,
                [report, update = std::move(update)]() mutable { report(std::move(update)); },
                Qt::QueuedConnection);
            state->wake.wait_for(lock, std::chrono::milliseconds(INTERVAL_MS),
                                 [&] { return state->stop; });
        }
        state->ended = true;
        state->wake.notify_all();
    }).detach();
}

FollowPoller::~FollowPoller() {
    std::unique_lock lock(shared->lock);
    shared->stop = true;
    shared->wake.notify_all();
    shared->wake.wait_for(lock, END_WAIT, [&] { return shared->ended; });
}
