#include "transfer/step_run.h"

#include "serial/reply_state.h"

namespace kvt {

bool StepRun::Start() {
    int idle = 0;
    if (!transferStep.compare_exchange_strong(idle, 1)) return false;
    running_ = true;
    return true;
}

void StepRun::Abort() {
    if (!running_) return;
    running_ = false;
    transferStep = 0;
}

int StepRun::BeginTick(int lastStep, RunTick* tick) {
    const int s = transferStep;
    if (!running_ || s < 1 || s > lastStep) {
        running_ = false;
        tick->outcome = RunTick::Outcome::Finished;
        return 0;
    }
    if (errorReply != 0) {
        errorReply = 0;
        transferStep = 0;
        running_ = false;
        tick->outcome = RunTick::Outcome::StoppedOnError;
        return 0;
    }
    return s;
}

void StepRun::Finish(RunTick* tick) {
    transferStep = 0;
    running_ = false;
    tick->outcome = RunTick::Outcome::Finished;
}

}  // namespace kvt
