// A thread-safe queue of reply lines: the link's reader pushes (never
// blocking for long), a consumer thread pops with a deadline so that it can
// also run its timers without spinning.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

namespace kvt {

class ReplyQueue {
public:
    using Clock = std::chrono::steady_clock;

    void Push(std::string line);
    // Waits until a line is there (true, *line set) or the deadline has
    // passed (false).
    bool PopUntil(Clock::time_point deadline, std::string* line);
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> lines_;
};

}  // namespace kvt
