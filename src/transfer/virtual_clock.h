// A clock whose time moves only when told to: the tests run timed behaviour
// in virtual milliseconds.
#pragma once

#include "loop/clock.h"
#include "loop/listed_timer.h"

namespace kvt {

class VirtualClock : public Clock {
public:
    Millis Now() override { return now_; }
    std::unique_ptr<Timer> NewTimer(std::function<void()> fire) override;

    // Fires every timer due up to the given time, in order of their times
    // (timers due at the same time in the order they were started), moving
    // Now() to each one's time before it fires. May be called from inside a
    // timer (a box open during a tick).
    void AdvanceTo(Millis when);
    void Advance(Millis ms) { AdvanceTo(now_ + ms); }

private:
    Millis now_ = 0;
    TimerList timers_;
};

}  // namespace kvt
