// What every multi-step run shares: one run at a time through transferStep,
// the stop at the first tick after an error reply, and the end of the run.
#pragma once

#include "transfer/run_tick.h"

namespace kvt {

class StepRun {
public:
    // False and nothing changed when transferStep is not 0 (another run is
    // going on); otherwise transferStep = 1.
    bool Start();
    // The run's window went away during the run: transferStep back to 0.
    void Abort();
    bool running() const { return running_; }

protected:
    // The step this tick performs (transferStep), or 0 when the tick ends
    // here: a tick left over after the run, or errorReply set (cleared, the
    // run stopped). *tick tells the caller which.
    int BeginTick(int lastStep, RunTick* tick);
    // The run is over: transferStep back to 0.
    void Finish(RunTick* tick);

private:
    bool running_ = false;
};

}  // namespace kvt
