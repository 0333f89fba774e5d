#include "widgets/window_run.h"

namespace kvt {

bool WindowRun::Start(RunKind kind, const Pacing& pacing) {
    if (!engine_.Start(kind, pacing, this)) return false;
    running_ = true;
    return true;
}

void WindowRun::Abort() {
    if (!running_) return;
    running_ = false;
    engine_.Abort();
}

void WindowRun::BeforeStep(int step) {
    if (beforeStep) beforeStep(step);
}

void WindowRun::StepDone(int step) {
    if (stepDone) stepDone(step);
}

void WindowRun::RunEnded(RunEnd end) {
    running_ = false;
    if (ended) ended(end);
}

}  // namespace kvt
