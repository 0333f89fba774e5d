// The clock seam of the window program: time from a monotonic QElapsedTimer,
// wake-ups from precise single-shot QTimers on the window thread.
#pragma once

#include <QElapsedTimer>

#include "loop/clock.h"

namespace kvt {

class QtClock : public Clock {
public:
    QtClock();

    Millis Now() override;
    // The timer lives on the thread that asks for it (the window thread).
    std::unique_ptr<Timer> NewTimer(std::function<void()> fire) override;

private:
    QElapsedTimer elapsed_;
};

}  // namespace kvt
