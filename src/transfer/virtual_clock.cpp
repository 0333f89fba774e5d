#include "transfer/virtual_clock.h"

#include <algorithm>

namespace kvt {

class VirtualClock::VirtualTimer : public Timer {
public:
    VirtualTimer(VirtualClock* clock, std::function<void()> fire)
        : clock_(clock), fire_(std::move(fire)) {
        clock_->timers_.push_back(this);
    }
    ~VirtualTimer() override {
        auto& timers = clock_->timers_;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }
    void StartAt(Millis when) override {
        armed = true;
        due = when;
        order = clock_->nextOrder_++;
    }
    void Stop() override { armed = false; }
    void Fire() {
        armed = false;
        fire_();
    }

    bool armed = false;
    Millis due = 0;
    std::uint64_t order = 0;

private:
    VirtualClock* clock_;
    std::function<void()> fire_;
};

std::unique_ptr<Timer> VirtualClock::NewTimer(std::function<void()> fire) {
    return std::make_unique<VirtualTimer>(this, std::move(fire));
}

VirtualClock::VirtualTimer* VirtualClock::NextDue(Millis limit) const {
    VirtualTimer* next = nullptr;
    for (VirtualTimer* t : timers_) {
        if (!t->armed || t->due > limit) continue;
        if (!next || t->due < next->due || (t->due == next->due && t->order < next->order))
            next = t;
    }
    return next;
}

void VirtualClock::AdvanceTo(Millis when) {
    while (VirtualTimer* t = NextDue(when)) {
        now_ = std::max(now_, t->due);
        t->Fire();
    }
    now_ = std::max(now_, when);
}

}  // namespace kvt
