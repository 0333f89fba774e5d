// Where the fleet window's run goes on: the window program runs it on an
// I/O thread of its own, the tests on the virtual clock of their own
// thread. Either way the run tells a FleetTracker, which the window reads.
#pragma once

#include <cstddef>
#include <vector>

#include "fleet/fleet_tracker.h"
#include "transfer/fleet_run.h"

namespace kvt {

class FleetDriver {
public:
    virtual ~FleetDriver() = default;
    // Starts a run over lines that tells tracker what happens; false when
    // none started. tracker outlives the run.
    virtual bool Start(BusJob job, std::vector<FleetLine> lines, bool verify,
                       const Pacing& pacing, size_t jobs, FleetTracker& tracker) = 0;
    // Asks every line to stop at once; the run ends soon after.
    virtual void Stop() = 0;
    // Looks at the run from the window's thread: once it has ended, its
    // tracker is told (Finish).
    virtual void Poll() = 0;
    // Returns once the run has ended (after Stop).
    virtual void Wait() = 0;
};

}  // namespace kvt
