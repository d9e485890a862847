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

struct Handoff {
    std::mutex lock;
    std::condition_variable task_changed;
    std::deque<Task*> queue;
    std::thread::id window_thread;
    bool open = false;
    void (*wake_window)() = nullptr;
};

// Never destroyed: readers released by the close may still be on their way out of a wait
// while the window's thread ends the process.
Handoff& state = *new Handoff;

// The oldest queued task, taken off the queue, or nullptr.
Task* take_next() {
    std::lock_guard guard(state.lock);
    if (state.queue.empty())
        return nullptr;
    Task* task = state.queue.front();
    state.queue.pop_front();
    return task;
}

// A status text on its way to the window's thread.
struct StatusText {
    int part;
    const char* text;
    void (*show)(int part, const char* text);
};

void show_status_text(void* context) {
    const auto* status = static_cast<StatusText*>(context);
    status->show(status->part, status->text);
}

} // namespace

void handoff_open(void (*wake)()) {
    std::lock_guard guard(state.lock);
    state.window_thread = std::this_thread::get_id();
    state.wake_window = wake;
    state.open = true;
}

bool handoff_run_and_wait(void (*fn)(void*), void* arg) {
    std::unique_lock guard(state.lock);
    if (!state.open)
        return false;
    if (std::this_thread::get_id() == state.window_thread) {
        guard.unlock();
        fn(arg);
        return true;
    }
    Task task{fn, arg};
    state.queue.push_back(&task);
    state.wake_window();
    state.task_changed.wait(guard, [&task] { return task.finished || task.refused; });
    return task.finished;
}

void handoff_status_text(int part, const char* text, void (*show)(int part, const char* text)) {
    StatusText status{part, text, show};
    handoff_run_and_wait(show_status_text, &status);
}

void handoff_run_next() {
    Task* task = take_next();
    if (!task)
        return;
    task->fn(task->arg);
    std::lock_guard guard(state.lock);
    task->finished = true;
    state.task_changed.notify_all();
}

void handoff_close() {
    std::lock_guard guard(state.lock);
    state.open = false;
    for (Task* task : state.queue)
        task->refused = true;
    state.queue.clear();
    state.task_changed.notify_all();
}
