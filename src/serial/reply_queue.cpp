#include "serial/reply_queue.h"

#include <utility>

namespace kvt {

void ReplyQueue::Push(std::string line) {
    // Notified under the lock: a consumer that takes this line, and may then
    // destroy the queue, cannot do so before the notification is over.
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
    ready_.notify_one();
}

bool ReplyQueue::PopUntil(Clock::time_point deadline, std::string* line) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!ready_.wait_until(lock, deadline, [this] { return !lines_.empty(); })) return false;
    *line = std::move(lines_.front());
    lines_.pop_front();
    return true;
}

std::size_t ReplyQueue::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_.size();
}

}  // namespace kvt
