#include "transfer/sign_result.h"

namespace kvt {

RunOutcome OutcomeOf(RunEnd end, bool notUnderstood) {
    switch (end) {
    case RunEnd::StoppedOnError: return RunOutcome::StoppedOnError;
    case RunEnd::NoConnect: return RunOutcome::NoConnect;
    case RunEnd::Finished: break;
    }
    return notUnderstood ? RunOutcome::NotUnderstood : RunOutcome::Finished;
}

SignVerdict VerdictOf(const SlaveResult& result) {
    if (result.notReached) return SignVerdict::NotReached;
    if (result.problem == SignProblem::Interrupted) return SignVerdict::Interrupted;
    if (result.problem != SignProblem::None) return SignVerdict::Error;
    return result.differences.empty() ? SignVerdict::Ok : SignVerdict::Differences;
}

}  // namespace kvt
