#include "tools/cli/outcome_table.h"

#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

const struct {
    OutcomeKind kind;
    const char* text;  // nullptr: the sign's error, or the outcome's own message
} kOutcomes[] = {
    {OutcomeKind::Success, "Success"},      {OutcomeKind::SignError, nullptr},
    {OutcomeKind::NoConnect, "No Connect"}, {OutcomeKind::LinkMessage, nullptr},
    {OutcomeKind::Rejected, nullptr},
};

const struct {
    RunOutcome outcome;
    const char* stopped;  // send, read
    const char* readBackFailed;  // verify
    int status;
} kRunOutcomes[] = {
    // verify: a finished read-back with a request left unanswered
    {RunOutcome::Finished, "", "No Connect", kExitOk},
    {RunOutcome::StoppedOnError, "the run stopped on the sign's error reply",
     "the sign answered with an error", kExitFailed},
    {RunOutcome::NoConnect, "the run stopped: the sign did not answer", "No Connect", kExitFailed},
    {RunOutcome::NotUnderstood, "the sign's reply was not understood",
     "the sign's reply was not understood", kExitFailed},
};

const struct {
    SignProblem problem;
    const char* text;  // nullptr: the sign's error; a detail, when there is one, says it instead
} kProblems[] = {
    {SignProblem::None, ""},
    {SignProblem::SignError, nullptr},
    {SignProblem::NoConnect, "No Connect"},
    {SignProblem::NotUnderstood, "Reply Not Understood"},
    {SignProblem::PortNotOpened, "the port did not open"},
    {SignProblem::LineFailed, "the line's port failed"},
    {SignProblem::FileNotWritten, ""},
};

template <typename Row, size_t N, typename Match>
const Row& Find(const Row (&rows)[N], Match match) {
    for (const Row& row : rows)
        if (match(row)) return row;
    return rows[0];
}

const auto& RunRow(RunOutcome outcome) {
    return Find(kRunOutcomes, [outcome](const auto& row) { return row.outcome == outcome; });
}

}  // namespace

std::string OutcomeText(const Outcome& outcome) {
    if (const char* text =
            Find(kOutcomes, [&](const auto& row) { return row.kind == outcome.kind; }).text)
        return text;
    return outcome.kind == OutcomeKind::SignError ? SignErrorText(outcome.signError)
                                                  : outcome.message;
}

const char* RunStopText(RunOutcome outcome) { return RunRow(outcome).stopped; }

const char* ReadBackFailureText(RunOutcome outcome) { return RunRow(outcome).readBackFailed; }

int RunStatus(RunOutcome outcome) { return RunRow(outcome).status; }

std::string ProblemText(const SlaveResult& result) {
    if (!result.detail.empty()) return result.detail;
    const char* text =
        Find(kProblems, [&](const auto& row) { return row.problem == result.problem; }).text;
    return text ? text : SignErrorText(result.signError);
}

std::string ResultText(const SlaveResult& result) {
    if (result.notReached) return "not reached";
    if (result.problem != SignProblem::None) return ProblemText(result);
    const size_t n = result.differences.size();
    if (n == 0) return "OK";
    return std::to_string(n) + (n == 1 ? " difference" : " differences");
}

const char* ReportResult(const SlaveResult& result) {
    if (result.notReached) return "not reached";
    if (result.problem != SignProblem::None) return "error";
    return result.differences.empty() ? "OK" : "differences";
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
