// The all-items run: 102 commands in 103 timer steps, sending the whole store.
#pragma once

#include "protocol/command_set.h"
#include "transfer/step_run.h"

namespace kvt {

enum class AllItemsAction {
    Text,            // steps 1..32: text of page s-1, "A" form
    Rearm,           // step 33: no command, the timer goes to 200 ms
    FillBorderAll,   // 34: "PTFB"
    WhiteLevelAll,   // 35: "PTWL"
    Colour,          // 36..67: "ICLT" of page s-36
    Blink,           // 68..99: "BDLT" of page s-68
    PageSelect,      // 100
    DisplayTimeAll,  // 101: "PTCT"
    HPosition,       // 102: "PH"
    VPosition,       // 103: "PV"
};

struct AllItemsStep {
    AllItemsAction action;
    int page;  // page index for Text, Colour, Blink; -1 otherwise
};

constexpr int kAllItemsLastStep = 103;
constexpr int kAllItemsSlowPeriodMs = 500;  // steps 1..33
constexpr int kAllItemsFastPeriodMs = 200;  // steps 34..103

// step is 1..103.
AllItemsStep AllItemsStepAt(int step);
// The command of the step; for step 33 an empty line and no rejection.
Command BuildAllItemsStep(int step);

// The run as the dialog and the command-line tool drive it with their timer.
class AllItemsRun : public StepRun {
public:
    // One tick: stop on errorReply, or perform step transferStep (showing a
    // rejection's message, sending otherwise), then advance.
    RunTick Tick();
};

}  // namespace kvt
