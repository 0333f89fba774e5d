// The read-back: 102 read requests in 103 steps of 500 ms; the replies are
// decoded into the store by the reply interpreter whenever they arrive.
#pragma once

#include <string>

#include "transfer/step_run.h"

namespace kvt {

constexpr int kReadBackLastStep = 103;
constexpr int kReadBackPeriodMs = 500;

// The request of step 1..103, ending in CR LF (no prefix): "RCApp",
// "RPppBDLT", "RPppICLT", "" for step 97, "RP", "RPTCT", "RPTFB", "RPTWL",
// "RPH", "RPV".
std::string ReadRequestAt(int step);

class ReadBackRun : public StepRun {
public:
    // One tick: stop on errorReply; otherwise send the request of step
    // transferStep (none for 97) and advance; Finished after step 103.
    RunTick Tick();
};

}  // namespace kvt
