#include "transfer/poll_loop.h"

#include <algorithm>
#include <chrono>

namespace kvt {

namespace {

constexpr Millis kStopCheckMs = 200;

ReplyQueue::Clock::time_point AsTimePoint(Millis ms) {
    return ReplyQueue::Clock::time_point(std::chrono::milliseconds(ms));
}

}  // namespace

class PollLoop::LoopTimer : public Timer {
public:
    LoopTimer(PollLoop* loop, std::function<void()> fire) : loop_(loop), fire_(std::move(fire)) {
        loop_->timers_.push_back(this);
    }
    ~LoopTimer() override {
        auto& timers = loop_->timers_;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }
    void StartAt(Millis when) override {
        armed = true;
        due = when;
    }
    void Stop() override { armed = false; }
    void Fire() {
        armed = false;
        fire_();
    }

    bool armed = false;
    Millis due = 0;

private:
    PollLoop* loop_;
    std::function<void()> fire_;
};

PollLoop::PollLoop(std::function<void(const std::string&)> lineHandler)
    : lineHandler_(std::move(lineHandler)) {}

PollLoop::~PollLoop() = default;

Millis PollLoop::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               ReplyQueue::Clock::now().time_since_epoch())
        .count();
}

std::unique_ptr<Timer> PollLoop::NewTimer(std::function<void()> fire) {
    return std::make_unique<LoopTimer>(this, std::move(fire));
}

void PollLoop::RunOnce(Millis until) {
    LoopTimer* next = nullptr;
    for (LoopTimer* t : timers_)
        if (t->armed && (!next || t->due < next->due)) next = t;
    const Millis wakeAt = next ? std::min(until, next->due) : until;
    std::string line;
    if (queue_.PopUntil(AsTimePoint(wakeAt), &line)) {
        lineHandler_(line);
        return;
    }
    if (next && next->due <= Now()) next->Fire();
}

bool PollLoop::RunUntil(const std::function<bool()>& done, Millis until,
                        const std::atomic<bool>* stop) {
    while (!(stop && *stop) && !done()) {
        const Millis now = Now();
        if (now >= until) return true;
        RunOnce(std::min(until, now + kStopCheckMs));
    }
    return !(stop && *stop);
}

}  // namespace kvt

