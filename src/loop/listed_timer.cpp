#include "loop/listed_timer.h"

#include <algorithm>

namespace kvt {

ListedTimer::ListedTimer(List& list, std::function<void()> fire)
    : list_(list), fire_(std::move(fire)) {
    list_.timers.push_back(this);
}

ListedTimer::~ListedTimer() {
    auto& timers = list_.timers;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void ListedTimer::StartAt(Millis when) {
    armed_ = true;
    due_ = when;
    started_ = list_.starts++;
}

void ListedTimer::Fire() {
    armed_ = false;
    fire_();
}

ListedTimer* ListedTimer::Earliest(const List& list, Millis limit) {
    ListedTimer* next = nullptr;
    for (ListedTimer* t : list.timers) {
        if (!t->armed_ || t->due_ > limit) continue;
        if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->started_ < next->started_))
            next = t;
    }
    return next;
}

}  // namespace kvt
