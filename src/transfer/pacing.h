// When the steps of a run go out, and how long a command may stay
// unanswered. Every time of the runs and of the reply time-out is here.
#pragma once

#include "loop/clock.h"
#include "transfer/run_steps.h"

namespace kvt {

enum class Pace {
    Timed,  // one step per tick of a fixed period, whatever the sign answers
    Reply,  // the next step as soon as the previous one was answered
};

constexpr int kDefaultReplyGapMs = 20;

struct Pacing {
    Pace pace = Pace::Timed;
    // Reply pacing: the wait between a reply's arrival and the next command.
    int gapMs = kDefaultReplyGapMs;
};

// Timed pacing: the wait before the tick of step `step` + 1, counted from
// the tick of `step` (step 0: from the start of the run).
Millis TimedPeriodMs(RunKind kind, int step);

// The reply time-out beats every kReplyTickMs; "No Connect" comes on the
// seventh tick that finds a command unanswered.
constexpr Millis kReplyTickMs = 500;
// The command-line tool starts the beat half a tick after its first
// command, so that "No Connect" falls 3.25 s after it: the middle of the
// 3.0 to 3.5 s that the window program's free-running beat gives.
constexpr Millis kFirstReplyTickMs = 250;

}  // namespace kvt
