// The looks at a followed match's files (view/follow_files.h), a few times a second on a
// thread of their own, so that a file system that hangs holds up no window: what each look
// finds reaches the window's thread as a queued call. One look is under way at a time.
#pragma once

#include "view/follow_files.h"

#include <functional>
#include <memory>
#include <string>

class QObject;

class FollowPoller {
  public:
    // `report` runs on the thread of `receiver` (the window), never after the poller is gone.
    FollowPoller(std::string results_path, QObject* receiver,
                 std::function<void(FollowUpdate)> report);
    // Stops the looks. A look that hangs in the file system is waited for a moment, then left
    // to end by itself: it reports nothing any more.
    ~FollowPoller();
    FollowPoller(const FollowPoller&) = delete;
    FollowPoller& operator=(const FollowPoller&) = delete;

    // Time between the end of one look and the start of the next.
    static constexpr int INTERVAL_MS = 250;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared;
};
