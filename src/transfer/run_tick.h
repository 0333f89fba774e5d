// What one timer tick of a multi-step run did. The runs share transferStep
// (0 = no run): one run exists at a time, "GO" shows no box meanwhile, and
// the file commands do nothing.
#pragma once

namespace kvt {

struct RunTick {
    enum class Outcome {
        Continue,        // more steps follow at the next tick
        StoppedOnError,  // errorReply was set: nothing sent, run over
        Finished,        // the last step was done, run over
    };
    Outcome outcome = Outcome::Continue;
    int stepDone = 0;    // the step number to show in the counter (0: none)
    int periodMs = 0;    // timer period for the next tick (Continue only)
    bool periodChanged = false;  // the timer must be re-armed with periodMs
};

}  // namespace kvt
