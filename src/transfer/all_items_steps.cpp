#include "transfer/all_items_steps.h"

#include "serial/reply_state.h"

namespace kvt {

namespace {
constexpr int kRearmStep = 33;
}

AllItemsStep AllItemsStepAt(int step) {
    if (step >= 1 && step <= 32) return {AllItemsAction::Text, step - 1};
    if (step >= 36 && step <= 67) return {AllItemsAction::Colour, step - 36};
    if (step >= 68 && step <= 99) return {AllItemsAction::Blink, step - 68};
    switch (step) {
    case 34: return {AllItemsAction::FillBorderAll, -1};
    case 35: return {AllItemsAction::WhiteLevelAll, -1};
    case 100: return {AllItemsAction::PageSelect, -1};
    case 101: return {AllItemsAction::DisplayTimeAll, -1};
    case 102: return {AllItemsAction::HPosition, -1};
    case 103: return {AllItemsAction::VPosition, -1};
    default: return {AllItemsAction::Rearm, -1};  // step 33 (and no step at all)
    }
}

Command BuildAllItemsStep(int step) {
    const AllItemsStep s = AllItemsStepAt(step);
    switch (s.action) {
    case AllItemsAction::Text: return BuildTextCommand('A', s.page);
    case AllItemsAction::Rearm: return Command{};
    case AllItemsAction::FillBorderAll: return BuildFillBorderAll();
    case AllItemsAction::WhiteLevelAll: return BuildWhiteLevelAll();
    case AllItemsAction::Colour: return BuildColourPage(s.page);
    case AllItemsAction::Blink: return BuildBlinkPage(s.page);
    case AllItemsAction::PageSelect: return BuildPageSelect();
    case AllItemsAction::DisplayTimeAll: return BuildDisplayTimeAll();
    case AllItemsAction::HPosition: return BuildHPosition();
    case AllItemsAction::VPosition: return BuildVPosition();
    }
    return Command{};
}

RunTick AllItemsRun::Tick() {
    RunTick tick;
    const int s = BeginTick(kAllItemsLastStep, &tick);
    if (s == 0) return tick;
    // A rejected step shows its message and still counts; step 33 has no line.
    Dispatch(BuildAllItemsStep(s));
    tick.stepDone = s;
    if (s == kAllItemsLastStep) {
        Finish(&tick);
        return tick;
    }
    transferStep = s + 1;
    tick.periodMs = s < kRearmStep ? kAllItemsSlowPeriodMs : kAllItemsFastPeriodMs;
    tick.periodChanged = s == kRearmStep;
    return tick;
}

}  // namespace kvt
