// The clock seam: where the run engine and the reply time-out get their time
// and their wake-ups. The window program uses Qt timers, the command-line
// tool an event loop (event_loop.h), the tests a virtual clock
// (virtual_clock.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kvt {

using Millis = std::int64_t;

// A one-shot wake-up.
class Timer {
public:
    virtual ~Timer() = default;
    // Fires once at the given time of its clock (at once when it has
    // passed); a second call moves the wake-up.
    virtual void StartAt(Millis when) = 0;
    virtual void Stop() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic scale.
    virtual Millis Now() = 0;
    // A timer that calls fire on the clock's thread.
    virtual std::unique_ptr<Timer> NewTimer(std::function<void()> fire) = 0;
};

}  // namespace kvt
