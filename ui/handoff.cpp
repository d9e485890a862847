#include "ui/handoff.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Everything here is guarded by `lock`. A Task lives on the stack of the thread that
// waits for it; the window's thread reaches it only through `queue`, and a task leaves
// the queue (taken to run, or dropped on close) before its waiter may return.
namespace {

struct Task {
    void (*fn)(void*);
    void* arg;
    bool finished = false;
    bool refused = false;
};

std::mutex lock;
std::condition_variable task_changed;
std::deque<Task*> queue;
std::thread::id window_thread;
bool open = false;
void (*wake_window)() = nullptr;

// The oldest queued task, taken off the queue, or nullptr.
Task* take_next() {
    std::lock_guard guard(lock);
    if (queue.empty())
        return nullptr;
    Task* task = queue.front();
    queue.pop_front();
    return task;
}

} // namespace

void handoff_open(void (*wake)()) {
    std::lock_guard guard(lock);
    window_thread = std::this_thread::get_id();
    wake_window = wake;
    open = true;
}

bool handoff_run_and_wait(void (*fn)(void*), void* arg) {
    std::unique_lock guard(lock);
    if (!open)
        return false;
    if (std::this_thread::get_id() == window_thread) {
        guard.unlock();
        fn(arg);
        return true;
    }
    Task task{fn, arg};
    queue.push_back(&task);
    wake_window();
    task_changed.wait(guard, [&task] { return task.finished || task.refused; });
    return task.finished;
}

void handoff_run_next() {
    Task* task = take_next();
    if (!task)
        return;
    task->fn(task->arg);
    std::lock_guard guard(lock);
    task->finished = true;
    task_changed.notify_all();
}

void handoff_close() {
    std::lock_guard guard(lock);
    open = false;
    for (Task* task : queue)
        task->refused = true;
    queue.clear();
    task_changed.notify_all();
}
