// One thread's event loop over epoll: descriptors, timers and work posted
// from other threads, without spinning. The command-line tool runs every
// link of a command, a whole fleet of lines included, on one; the window
// program runs its fleets on one of their own. Waking costs the same
// however many descriptors are watched.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "loop/clock.h"

namespace kvt {

class EventLoop : public Clock {
public:
    // What a watched descriptor is ready for (EPOLLIN, EPOLLOUT, EPOLLHUP,
    // EPOLLERR...), on the loop's thread.
    using Handler = std::function<void(std::uint32_t events)>;

    EventLoop();
    ~EventLoop() override;
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Whether the loop could be made (an epoll and an event descriptor);
    // when not, why (the system's reason) and every Watch fails.
    bool ok() const { return epoll_ >= 0 && wake_ >= 0; }
    const std::string& failure() const { return failure_; }

    Millis Now() override;
    std::unique_ptr<Timer> NewTimer(std::function<void()> fire) override;

    // Thread-safe: work for the loop's thread, in the order posted; wakes
    // the loop.
    void PostTask(std::function<void()> task);

    // Calls handler whenever fd is ready for any of events (level
    // triggered). False with errno set when epoll refuses the descriptor.
    bool Watch(int fd, std::uint32_t events, Handler handler);
    // What a watched descriptor is waited for from now on.
    void Change(int fd, std::uint32_t events);
    // Stops watching fd (before it is closed); what epoll already reported
    // for it is not delivered.
    void Forget(int fd);
    size_t watched() const { return watched_.size(); }

    // Runs ready work and timers until done() is true, the time `until` has
    // come, or *stop is set (checked at every wake-up, a signal included,
    // and at least every 200 ms). False when stopped.
    bool RunUntil(const std::function<bool()>& done, Millis until, const std::atomic<bool>* stop);

    struct TimerState;

private:
    struct Watched {
        std::uint32_t generation;
        std::shared_ptr<Handler> handler;
    };
    // A timer's start in the heap; stale once the timer was started again,
    // stopped or destroyed (its start number no longer the timer's).
    struct Start {
        Millis due;
        std::uint64_t number;
        std::shared_ptr<TimerState> timer;
        bool Current() const;
        bool operator>(const Start& other) const {
            return due != other.due ? due > other.due : number > other.number;
        }
    };
    class HeapTimer;

    // The start due first, stale ones dropped on the way; nullptr if none.
    const Start* NextStart();
    void Compact();

    // Waits for events until the given time at most and handles them, then
    // the timers that are due.
    void RunOnce(Millis until);
    void RunPosted();
    void FireDueTimers();

    int epoll_ = -1;
    int wake_ = -1;  // an eventfd other threads write to
    std::string failure_;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
    // Every timer start, due first on top (a binary heap): the next wake-up
    // costs the same however many timers there are.
    std::vector<Start> starts_;
    std::uint64_t startNumbers_ = 0;
    size_t timerCount_ = 0;
    // By descriptor; the generation tells a descriptor number used again
    // from the one epoll reported on.
    std::unordered_map<int, Watched> watched_;
    std::uint32_t generations_ = 0;
};

}  // namespace kvt
