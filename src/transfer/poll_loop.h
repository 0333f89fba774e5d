// The clock of a program without an event loop (the command-line tool): it
// waits for reply lines from the link's reader thread and for the next
// timer, whichever comes first, without spinning, and runs both on the
// calling thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "serial/reply_queue.h"
#include "loop/clock.h"
#include "loop/listed_timer.h"

namespace kvt {

class PollLoop : public Clock {
public:
    // lineHandler gets each reply line on the loop's thread.
    explicit PollLoop(std::function<void(const std::string&)> lineHandler = nullptr);
    ~PollLoop() override;

    Millis Now() override;
    std::unique_ptr<Timer> NewTimer(std::function<void()> fire) override;

    // Thread-safe: the link's line consumer; the line goes to lineHandler.
    void Post(const std::string& line);
    // Thread-safe: work for the loop's thread (a line of another session, a
    // port opened by another thread), done in the order posted.
    void PostTask(std::function<void()> task) { queue_.Push(std::move(task)); }

    // Handles lines and timers until done() is true, the time has come, or
    // *stop is set (checked at least every 200 ms). False when stopped.
    bool RunUntil(const std::function<bool()>& done, Millis until,
                  const std::atomic<bool>* stop);

private:
    // Waits for one line or timer until the given time and handles it.
    void RunOnce(Millis until);

    std::function<void(const std::string&)> lineHandler_;
    WaitQueue<std::function<void()>> queue_;
    TimerList timers_;
};

}  // namespace kvt
