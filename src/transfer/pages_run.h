// The all-pages runs of the settings sheet: one command per tick for pages
// 1..32 (texts every 500 ms, colours and blink settings every 200 ms).
#pragma once

#include "transfer/run_tick.h"

namespace kvt {

enum class PagesRunKind { Text, Colour, Blink };

int PagesRunPeriodMs(PagesRunKind kind);  // 500, 200, 200
int PagesRunTimerId(PagesRunKind kind);   // 3, 4, 5

class PagesRun {
public:
    explicit PagesRun(PagesRunKind kind) : kind_(kind) {}
    // False when transferStep is not 0; otherwise transferStep = 1.
    bool Start();
    // One tick (the caller has set messageOwner and slaveNo first): stop on
    // errorReply; otherwise send page transferStep (a rejected page shows its
    // message once and is skipped) and advance; Finished after page 32.
    RunTick Tick();
    void Abort();
    bool running() const { return running_; }

private:
    PagesRunKind kind_;
    bool running_ = false;
};

}  // namespace kvt
