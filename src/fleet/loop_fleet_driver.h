// The window program's fleet run: on an event loop of its own thread, so
// that neither a thousand lines nor a slow connect holds the window. The
// window's thread only starts it, asks it to stop and joins it at its end.
#pragma once

#include <atomic>
#include <thread>

#include "fleet/fleet_driver.h"
#include "loop/event_loop.h"

namespace kvt {

class LoopFleetDriver : public FleetDriver {
public:
    LoopFleetDriver() = default;
    ~LoopFleetDriver() override;  // stops the run and waits for its thread
    LoopFleetDriver(const LoopFleetDriver&) = delete;
    LoopFleetDriver& operator=(const LoopFleetDriver&) = delete;

    bool Start(BusJob job, std::vector<FleetLine> lines, bool verify, const Pacing& pacing,
               size_t jobs, FleetTracker& tracker) override;
    void Stop() override;
    void Poll() override;
    void Wait() override;

private:
    // The run, on the loop's thread, from start to end.
    void Run(BusJob job, std::vector<FleetLine> lines, bool verify, Pacing pacing, size_t jobs,
             FleetTracker* tracker);

    EventLoop loop_;
    std::thread thread_;
    std::atomic<bool> ended_{false};
    FleetRun* run_ = nullptr;  // while the run goes on; the loop's thread alone uses it
};

}  // namespace kvt
