// A timer that lives in its clock's list, for the clocks that look through
// their timers themselves to see which is due (the poll loop, the virtual
// clock).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "loop/clock.h"

namespace kvt {

class ListedTimer;

// The timers of one clock, and how many starts they have had (to order
// timers due at the same moment).
struct TimerList {
    std::vector<ListedTimer*> timers;
    std::uint64_t starts = 0;
};

class ListedTimer : public Timer {
public:
    using List = TimerList;

    ListedTimer(List& list, std::function<void()> fire);
    ~ListedTimer() override;

    void StartAt(Millis when) override;
    void Stop() override { armed_ = false; }
    // Disarms the timer, then calls its function.
    void Fire();

    // The armed timer of the list due first and no later than limit (of two
    // due at once the one started first), or nullptr.
    static ListedTimer* Earliest(const List& list, Millis limit);
    Millis due() const { return due_; }

private:
    List& list_;
    std::function<void()> fire_;
    bool armed_ = false;
    Millis due_ = 0;
    std::uint64_t started_ = 0;  // when it was started, in StartAt calls
};

}  // namespace kvt
