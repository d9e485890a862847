// The hand-off from reader threads to the window's thread, with the test's own thread as
// the window's thread and a plain loop standing in for its event loop.
#include "ui/handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::mutex wake_lock;
std::condition_variable woken;
int wake_count = 0;

void wake() {
    std::lock_guard guard(wake_lock);
    ++wake_count;
    woken.notify_all();
}

// Waits for the given number of wake-ups since the test began.
void wait_for_wakes(int count) {
    std::unique_lock guard(wake_lock);
    woken.wait(guard, [count] { return wake_count >= count; });
}

class HandoffTest : public testing::Test {
  protected:
    void SetUp() override {
        {
            std::lock_guard guard(wake_lock);
            wake_count = 0;
        }
        handoff_open(wake);
    }
    void TearDown() override { handoff_close(); }
};

struct Call {
    std::thread::id ran_on;
    int order = -1;
};

std::vector<int> run_order;

void record(void* context) {
    auto* call = static_cast<Call*>(context);
    call->ran_on = std::this_thread::get_id();
    call->order = static_cast<int>(run_order.size());
    run_order.push_back(call->order);
}

TEST_F(HandoffTest, RunsOnTheWindowThreadWhileTheCallerWaits) {
    run_order.clear();
    Call call;
    std::atomic<bool> returned{false};
    bool result = false;
    std::thread reader([&] {
        result = handoff_run_and_wait(record, &call);
        returned = true;
    });
    wait_for_wakes(1);
    EXPECT_FALSE(returned);
    handoff_run_next();
    reader.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(call.ran_on, std::this_thread::get_id());
}

TEST_F(HandoffTest, RunsAtOnceOnTheWindowThread) {
    run_order.clear();
    Call call;
    EXPECT_TRUE(handoff_run_and_wait(record, &call));
    EXPECT_EQ(call.order, 0);
}

// One piece of work a wake-up, oldest first: the window's thread is back in its event loop,
// free to take a key, between any two.
TEST_F(HandoffTest, EachWakeRunsOnePieceInTheOrderQueued) {
    run_order.clear();
    Call calls[3];
    std::atomic<int> returned{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&calls, &returned, i] {
            handoff_run_and_wait(record, &calls[i]);
            ++returned;
        });
        wait_for_wakes(i + 1);
    }
    for (int i = 0; i < 3; ++i) {
        handoff_run_next();
        EXPECT_EQ(run_order.size(), static_cast<size_t>(i + 1));
    }
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(returned, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(calls[i].order, i);
    handoff_run_next(); // a wake-up with nothing queued does nothing
    EXPECT_EQ(run_order.size(), 3u);
}

// Work that, like a message box, lets the window's thread run the queue again before it
// returns.
void run_nested(void* context) {
    record(context);
    handoff_run_next();
}

TEST_F(HandoffTest, WorkQueuedBehindRunningWorkRunsInsideIt) {
    run_order.clear();
    Call outer;
    Call inner;
    std::thread first([&] { handoff_run_and_wait(run_nested, &outer); });
    wait_for_wakes(1);
    std::thread second([&] { handoff_run_and_wait(record, &inner); });
    wait_for_wakes(2);
    handoff_run_next();
    first.join();
    second.join();
    EXPECT_EQ(outer.order, 0);
    EXPECT_EQ(inner.order, 1);
}

TEST_F(HandoffTest, CloseReleasesWaitersAndRefusesLaterWork) {
    run_order.clear();
    Call call;
    bool result = true;
    std::thread reader([&] { result = handoff_run_and_wait(record, &call); });
    wait_for_wakes(1);
    handoff_close();
    reader.join();
    EXPECT_FALSE(result);
    handoff_run_next();
    EXPECT_EQ(call.order, -1);

    std::thread late([&] { result = handoff_run_and_wait(record, &call); });
    late.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(handoff_run_and_wait(record, &call));
    EXPECT_TRUE(run_order.empty());
}

// Work during which the window closes: it still runs to its end and counts as done.
void close_while_running(void* context) {
    handoff_close();
    record(context);
}

TEST_F(HandoffTest, WorkRunningWhenTheWindowClosesFinishes) {
    run_order.clear();
    Call call;
    bool result = false;
    std::thread reader([&] { result = handoff_run_and_wait(close_while_running, &call); });
    wait_for_wakes(1);
    handoff_run_next();
    reader.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(call.order, 0);
}

} // namespace
