#include "transfer/run_steps.h"

#include <iterator>

#include "session/session.h"

namespace kvt {

namespace {

std::string Pp(int page) {
    return {static_cast<char>('0' + page / 10), static_cast<char>('0' + page % 10)};
}

Command LineCommand(std::string line) {
    Command c;
    c.line = std::move(line);
    return c;
}

}  // namespace

int LastStep(RunKind kind) {
    switch (kind) {
    case RunKind::AllItems: return kAllItemsLastStep;
    case RunKind::ReadBack: return kReadBackLastStep;
    case RunKind::TextPages:
    case RunKind::ColourPages:
    case RunKind::BlinkPages: return kPageCount;
    }
    return 0;
}

Command StepCommand(const Session& session, RunKind kind, int step) {
    const PanelSettings& s = session.panelSettings;
    switch (kind) {
    case RunKind::AllItems: return BuildAllItemsStep(s, session.currentPage, step);
    case RunKind::ReadBack: return LineCommand(ReadRequestAt(step));
    case RunKind::TextPages: return BuildTextCommand(s, 'A', step - 1);
    case RunKind::ColourPages: return BuildColourPage(s, step - 1);
    case RunKind::BlinkPages: return BuildBlinkPage(s, step - 1);
    }
    return Command{};
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

Command BuildAllItemsStep(const PanelSettings& s, int currentPage, int step) {
    const AllItemsStep a = AllItemsStepAt(step);
    switch (a.action) {
    case AllItemsAction::Text: return BuildTextCommand(s, 'A', a.page);
    case AllItemsAction::Rearm: return Command{};
    case AllItemsAction::FillBorderAll: return BuildFillBorderAll(s);
    case AllItemsAction::WhiteLevelAll: return BuildWhiteLevelAll(s);
    case AllItemsAction::Colour: return BuildColourPage(s, a.page);
    case AllItemsAction::Blink: return BuildBlinkPage(s, a.page);
    case AllItemsAction::PageSelect: return BuildPageSelect(s, currentPage);
    case AllItemsAction::DisplayTimeAll: return BuildDisplayTimeAll(s);
    case AllItemsAction::HPosition: return BuildHPosition(s);
    case AllItemsAction::VPosition: return BuildVPosition(s);
    }
    return Command{};
}

std::string WholeSendProblem(const PanelSettings& s, int currentPage) {
    for (int step = 1; step <= kAllItemsLastStep; ++step) {
        const Command command = BuildAllItemsStep(s, currentPage, step);
        if (command.rejected()) return command.message;
    }
    return "";
}

std::string ReadRequestAt(int step) {
    // Three runs of one request per page, the silent step, then one request each.
    static const char* const kAfterSilent[] = {"RP", "RPTCT", "RPTFB", "RPTWL", "RPH", "RPV"};
    static_assert(kReadBackSilentStep + std::size(kAfterSilent) == kReadBackLastStep);
    std::string request;
    if (step >= 1 && step <= kPageCount) request = "RCA" + Pp(step);
    else if (step > kPageCount && step <= 2 * kPageCount) request = "RP" + Pp(step - kPageCount) + "BDLT";
    else if (step > 2 * kPageCount && step < kReadBackSilentStep) request = "RP" + Pp(step - 2 * kPageCount) + "ICLT";
    else if (step > kReadBackSilentStep && step <= kReadBackLastStep) request = kAfterSilent[step - kReadBackSilentStep - 1];
    else return "";  // the silent step, or no step
    return request + "\r\n";
}

}  // namespace kvt
