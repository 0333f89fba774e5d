#include "transfer/poll_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace kvt {

namespace {

constexpr Millis kStopCheckMs = 200;

using Steady = std::chrono::steady_clock;

Steady::time_point AsTimePoint(Millis ms) { return Steady::time_point(std::chrono::milliseconds(ms)); }

}  // namespace

PollLoop::PollLoop(std::function<void(const std::string&)> lineHandler)
    : lineHandler_(std::move(lineHandler)) {}

PollLoop::~PollLoop() = default;

void PollLoop::Post(const std::string& line) {
    queue_.Push([this, line] { lineHandler_(line); });
}

Millis PollLoop::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               Steady::now().time_since_epoch())
        .count();
}

std::unique_ptr<Timer> PollLoop::NewTimer(std::function<void()> fire) {
    return std::make_unique<ListedTimer>(timers_, std::move(fire));
}

void PollLoop::RunOnce(Millis until) {
    ListedTimer* next = ListedTimer::Earliest(timers_, INT64_MAX);
    const Millis wakeAt = next ? std::min(until, next->due()) : until;
    std::function<void()> task;
    if (queue_.PopUntil(AsTimePoint(wakeAt), &task)) {
        task();
        return;
    }
    if (next && next->due() <= Now()) next->Fire();
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

