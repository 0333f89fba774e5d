// send, display and read over the link.
#include "tools/cli/port_commands.h"

#include <cstdio>
#include <string>

#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/outcome_table.h"
#include "tools/cli/port_session.h"
#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

// Opens the port and runs kind to its end, waiting for the last replies.
// False with *status set when it could not (no port, Ctrl+C); otherwise
// *outcome says how the run ended.
bool RunToTheEnd(PortSession& port, RunKind kind, const Pacing& pacing, RunOutcome* outcome,
                 int* status) {
    *status = kExitFailed;
    if (!port.Open()) return false;
    RunEnd end;
    if (!port.Run(kind, pacing, &end) || !port.AwaitReplies()) {
        *status = InterruptedExit();
        return false;
    }
    *outcome = OutcomeOf(end, port.tally().notUnderstood > 0);
    return true;
}

}  // namespace

int SendSingleOverPort(Session& session, const Command& command, const PortOptions& options) {
    if (command.rejected()) {
        std::fprintf(stderr, "%s\n", command.message.c_str());
        return kExitFailed;
    }
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    session.Dispatch(command);
    if (!port.AwaitReplies()) return InterruptedExit();
    if (port.tally().notUnderstood > 0)
        std::fprintf(stderr, "kvt540m-cli: %s\n", RunStopText(RunOutcome::NotUnderstood));
    return port.AllAnswered() && !port.seam().replies().empty() ? kExitOk : kExitFailed;
}

int SendAllItemsOverPort(Session& session, const PortOptions& options) {
    PortSession port(session, options);
    RunOutcome outcome;
    int status;
    if (!RunToTheEnd(port, RunKind::AllItems, options.pacing, &outcome, &status)) return status;
    if (outcome != RunOutcome::Finished)
        std::fprintf(stderr, "kvt540m-cli: %s\n", RunStopText(outcome));
    return port.AllAnswered() ? RunStatus(outcome) : kExitFailed;
}

// OUT is written only when every request was answered: a read cut short
// must not replace a file with values the sign never sent.
int ReadBackOverPort(Session& session, const std::string& outPath, const PortOptions& options) {
    PortSession port(session, options);
    RunOutcome outcome;
    int status;
    if (!RunToTheEnd(port, RunKind::ReadBack, options.pacing, &outcome, &status)) return status;
    if (outcome != RunOutcome::Finished || !port.AllAnswered()) {
        const std::string reason = RunStopText(outcome);
        std::fprintf(stderr, "kvt540m-cli: %s%s%d of %d requests answered; %s not written\n",
                     reason.c_str(), reason.empty() ? "" : "; ",
                     port.tally().answered - port.tally().notUnderstood, kReadBackLastStep - 1,
                     Clipped(outPath).c_str());
        return kExitFailed;
    }
    std::string message;
    if (WriteSettingsFile(outPath, session.panelSettings, session.currentPage, &message) !=
        SaveResult::Ok) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kvt::cli
