// Each table is a switch, so that the compiler names a kind of outcome that
// has no row (-Wswitch).
#include "tools/cli/outcome_table.h"

#include "exchange/run_report.h"
#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

struct RunRow {
    const char* stopped;         // send, read: why the run failed; "" when it did not
    const char* readBackFailed;  // verify: why its read-back failed
    int status;                  // with every command answered
};

RunRow RowOf(RunOutcome outcome) {
    switch (outcome) {
    // verify: a finished read-back with a request left unanswered
    case RunOutcome::Finished: return {"", "No Connect", kExitOk};
    case RunOutcome::StoppedOnError:
        return {"the run stopped on the sign's error reply", "the sign answered with an error",
                kExitFailed};
    case RunOutcome::NoConnect:
        return {"the run stopped: the sign did not answer", "No Connect", kExitFailed};
    case RunOutcome::NotUnderstood:
        return {"the sign's reply was not understood", "the sign's reply was not understood",
                kExitFailed};
    }
    return {"", "", kExitFailed};
}

}  // namespace

std::string OutcomeText(const Outcome& outcome) {
    switch (outcome.kind) {
    case OutcomeKind::Success: return "Success";
    case OutcomeKind::SignError: return SignErrorText(outcome.signError);
    case OutcomeKind::NoConnect: return "No Connect";
    case OutcomeKind::LinkMessage: return outcome.message;
    case OutcomeKind::Rejected: return outcome.message;
    }
    return outcome.message;
}

const char* RunStopText(RunOutcome outcome) { return RowOf(outcome).stopped; }

const char* ReadBackFailureText(RunOutcome outcome) { return RowOf(outcome).readBackFailed; }

int RunStatus(RunOutcome outcome) { return RowOf(outcome).status; }

std::string ResultText(const SlaveResult& result) {
    if (result.notReached) return "not reached";
    if (result.problem != SignProblem::None) return ProblemText(result);
    const size_t n = result.differences.size();
    if (n == 0) return "OK";
    return std::to_string(n) + (n == 1 ? " difference" : " differences");
}

int ResultsStatus(const std::vector<SlaveResult>& results, bool differencesDiffer) {
    bool differences = false;
    for (const SlaveResult& r : results) {
        if (r.notReached || r.problem != SignProblem::None) return kExitFailed;
        differences |= !r.differences.empty();
    }
    if (!differences) return kExitOk;
    return differencesDiffer ? kExitDiffers : kExitFailed;
}

}  // namespace kvt::cli
