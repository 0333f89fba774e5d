// The step tables of the multi-step runs: what each step sends. When the
// steps go out is the pacing's business (pacing.h).
#pragma once

#include <string>

#include "protocol/command_set.h"
#include "settings/panel_settings.h"

namespace kvt {

class Session;

enum class RunKind {
    AllItems,     // the whole store: 102 commands in 103 steps
    ReadBack,     // every setting read back: 102 requests in 103 steps
    TextPages,    // the text page's run: the texts of pages 1..32
    ColourPages,  // the colour page's run: the colours of pages 1..32
    BlinkPages,   // the blink page's run: the blink settings of pages 1..32
};

int LastStep(RunKind kind);  // 103, or 32 for the page runs

// The command of step 1..LastStep(kind): a line to send, a rejection to
// show, or an empty line when the step sends nothing (all-items step 33,
// read-back step 97).
Command StepCommand(const Session& session, RunKind kind, int step);

// The all-items steps, for the dry run and the tests.
enum class AllItemsAction {
    Text,            // steps 1..32: text of page s-1, "A" form
    Rearm,           // step 33: no command, the pace changes to 200 ms
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
constexpr int kAllItemsRearmStep = 33;
constexpr int kReadBackLastStep = 103;
constexpr int kReadBackSilentStep = 97;

AllItemsStep AllItemsStepAt(int step);
Command BuildAllItemsStep(const PanelSettings& s, int currentPage, int step);

// The message of the first step of the all-items run the sign would refuse
// from these settings, or "" when they can be sent whole.
std::string WholeSendProblem(const PanelSettings& s, int currentPage);

// The request of read-back step 1..103, ending in CR LF (no prefix):
// "RCApp", "RPppBDLT", "RPppICLT", "" for step 97, "RP", "RPTCT", "RPTFB",
// "RPTWL", "RPH", "RPV".
std::string ReadRequestAt(int step);

}  // namespace kvt
