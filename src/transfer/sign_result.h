// How a run on a sign ended, and how each sign of a bus or fleet run went,
// as values. The windows and the command-line tool put them into words.
#pragma once

#include <string>
#include <vector>

#include "protocol/read_back_decoders.h"
#include "loop/clock.h"
#include "transfer/run_engine.h"

namespace kvt {

// How a run on one sign ended, all told: the engine's end, or a finished
// run that met a reply that is none the sign gives (garbled, or from another
// device), which leaves a step undone.
enum class RunOutcome { Finished, StoppedOnError, NoConnect, NotUnderstood };

RunOutcome OutcomeOf(RunEnd end, bool notUnderstood);

// What went wrong with one sign of a bus or fleet run.
enum class SignProblem {
    None,
    SignError,  // the sign answered with an error (signError says which)
    NoConnect,  // a command stayed unanswered
    NotUnderstood,  // a reply was none the sign gives
    PortNotOpened,  // its line's port did not open (detail: the port's first message, if any)
    LineFailed,  // its line's port went away before its turn
    FileNotWritten,  // a read: its file could not be written (detail: why)
    Interrupted,  // the run was stopped while this sign was in hand
};

// The slave number of the one sign of an RS-232C line.
constexpr int kNoSlave = -1;

struct SlaveResult {
    int slave = 0;  // or kNoSlave
    bool notReached = false;  // its turn never came (problem: why, when known)
    SignProblem problem = SignProblem::None;
    SignError signError = SignError::CommandError;  // SignError
    std::string detail;  // see SignProblem
    std::vector<std::string> differences;  // a verify: where the sign differs
    Millis ms = 0;  // how long the sign took

    bool ok() const { return !notReached && problem == SignProblem::None && differences.empty(); }
};

// How a sign of a bus or fleet run went, in the fewest kinds: what sums up
// a run and sorts its signs.
enum class SignVerdict { Ok, Differences, Error, Interrupted, NotReached };

SignVerdict VerdictOf(const SlaveResult& result);

}  // namespace kvt
