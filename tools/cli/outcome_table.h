// The command-line tool's one table from what happened to what it prints
// and the exit status it ends with: the outcomes the core reports, how a run
// on one sign ended, and how each sign of a bus or fleet run went.
#pragma once

#include <string>
#include <vector>

#include "session/outcome.h"
#include "transfer/sign_result.h"

namespace kvt::cli {

// A reported outcome as printed: "Success", the sign's error, "No Connect",
// or the link's or the command's own message.
std::string OutcomeText(const Outcome& outcome);

// Why a run stopped early or failed at its end (send, read); "" when it
// finished.
const char* RunStopText(RunOutcome outcome);
// Why verify's read-back failed.
const char* ReadBackFailureText(RunOutcome outcome);
// The exit status of a run that ended so, every command answered.
int RunStatus(RunOutcome outcome);

// A sign's row in a table: "OK", "not reached", the problem, or "N differences".
std::string ResultText(const SlaveResult& result);

// The exit status of a run over signs: 0 when every sign succeeded; with
// differencesDiffer, 3 when differences are the worst; 1 otherwise.
int ResultsStatus(const std::vector<SlaveResult>& results, bool differencesDiffer);

}  // namespace kvt::cli
