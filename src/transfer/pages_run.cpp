#include "transfer/pages_run.h"

#include "protocol/command_set.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt {

int PagesRunPeriodMs(PagesRunKind kind) { return kind == PagesRunKind::Text ? 500 : 200; }

int PagesRunTimerId(PagesRunKind kind) {
    switch (kind) {
    case PagesRunKind::Text: return 3;
    case PagesRunKind::Colour: return 4;
    case PagesRunKind::Blink: return 5;
    }
    return 3;
}

bool PagesRun::Start() {
    int idle = 0;
    if (!transferStep.compare_exchange_strong(idle, 1)) return false;
    running_ = true;
    return true;
}

RunTick PagesRun::Tick() {
    RunTick tick;
    const int s = transferStep;  // 1-based page number to send
    if (!running_ || s < 1 || s > kPageCount) {
        running_ = false;
        tick.outcome = RunTick::Outcome::Finished;
        return tick;
    }
    if (errorReply != 0) {
        errorReply = 0;
        transferStep = 0;
        running_ = false;
        tick.outcome = RunTick::Outcome::StoppedOnError;
        return tick;
    }
    switch (kind_) {
    case PagesRunKind::Text: SendTextCommand('A', s - 1); break;
    case PagesRunKind::Colour: SendColourPage(s - 1); break;
    case PagesRunKind::Blink: SendBlinkPage(s - 1); break;
    }
    tick.stepDone = s;
    if (s == kPageCount) {
        // Back to idle right after the last page, so that its "GO" shows
        // the run's one "Success".
        transferStep = 0;
        running_ = false;
        tick.outcome = RunTick::Outcome::Finished;
        return tick;
    }
    transferStep = s + 1;
    tick.periodMs = PagesRunPeriodMs(kind_);
    return tick;
}

void PagesRun::Abort() {
    if (!running_) return;
    running_ = false;
    transferStep = 0;
}

}  // namespace kvt
