#include "transfer/virtual_clock.h"

#include <algorithm>

namespace kvt {

std::unique_ptr<Timer> VirtualClock::NewTimer(std::function<void()> fire) {
    return std::make_unique<ListedTimer>(timers_, std::move(fire));
}

void VirtualClock::AdvanceTo(Millis when) {
    while (ListedTimer* t = ListedTimer::Earliest(timers_, when)) {
        now_ = std::max(now_, t->due());
        t->Fire();
    }
    now_ = std::max(now_, when);
}

}  // namespace kvt
