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

}  // namespace kvt
