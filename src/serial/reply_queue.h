// A thread-safe queue: producers push (never blocking for long), a consumer
// pops with a deadline so that it can also run its timers without spinning.
// The link's reader threads push reply lines (ReplyQueue); the command-line
// tool's poll loop queues the work other threads hand it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

namespace kvt {

template <typename Item>
class WaitQueue {
public:
    using Clock = std::chrono::steady_clock;

    void Push(Item item) {
        // Notified under the lock: a consumer that takes this item, and may
        // then destroy the queue, cannot do so before the notification is over.
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(item));
        ready_.notify_one();
    }
    // Waits until an item is there (true, *item set) or the deadline has
    // passed (false).
    bool PopUntil(Clock::time_point deadline, Item* item) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_until(lock, deadline, [this] { return !items_.empty(); })) return false;
        *item = std::move(items_.front());
        items_.pop_front();
        return true;
    }
    std::size_t size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Item> items_;
};

using ReplyQueue = WaitQueue<std::string>;

}  // namespace kvt
