// The all-pages runs of the settings sheet: one command per tick for pages
// 1..32 (texts every 500 ms, colours and blink settings every 200 ms).
#pragma once

#include "transfer/step_run.h"

namespace kvt {

enum class PagesRunKind { Text, Colour, Blink };

int PagesRunPeriodMs(PagesRunKind kind);  // 500, 200, 200
int PagesRunTimerId(PagesRunKind kind);   // 3, 4, 5

class PagesRun : public StepRun {
public:
    explicit PagesRun(PagesRunKind kind) : kind_(kind) {}
    // One tick (the caller has set messageOwner and slaveNo first): stop on
    // errorReply; otherwise send page transferStep (a rejected page shows its
    // message once and is skipped) and advance; Finished after page 32.
    RunTick Tick();

private:
    PagesRunKind kind_;
};

}  // namespace kvt
