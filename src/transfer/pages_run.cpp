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

RunTick PagesRun::Tick() {
    RunTick tick;
    const int s = BeginTick(kPageCount, &tick);
    if (s == 0) return tick;
    switch (kind_) {
    case PagesRunKind::Text: SendTextCommand('A', s - 1); break;
    case PagesRunKind::Colour: SendColourPage(s - 1); break;
    case PagesRunKind::Blink: SendBlinkPage(s - 1); break;
    }
    tick.stepDone = s;
    if (s == kPageCount) {
        // Back to idle right after the last page, so that its "GO" shows
        // the run's one "Success".
        Finish(&tick);
        return tick;
    }
    transferStep = s + 1;
    tick.periodMs = PagesRunPeriodMs(kind_);
    return tick;
}

}  // namespace kvt
