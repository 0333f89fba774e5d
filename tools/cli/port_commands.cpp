// send, display and read over the link.
#include "tools/cli/port_commands.h"

#include <cstdio>
#include <string>

#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/port_session.h"
#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

const char* const kNotUnderstood = "the sign's reply was not understood";

// Why a run did not get to its end, or "" when it did.
std::string StopReason(RunEnd end) {
    switch (end) {
    case RunEnd::Finished: return "";
    case RunEnd::StoppedOnError: return "the run stopped on the sign's error reply";
    case RunEnd::NoConnect: return "the run stopped: the sign did not answer";
    }
    return "";
}

// Why a run failed although it got to its end, or "": a reply that is none
// the sign gives (garbled, or from another device) leaves a step undone.
std::string Trouble(RunEnd end, const PortSession& port) {
    const std::string reason = StopReason(end);
    return reason.empty() && port.notUnderstood() > 0 ? kNotUnderstood : reason;
}

// Opens the port and runs kind to its end, waiting for the last replies.
// False with *status set when it could not (no port, Ctrl+C); otherwise
// *reason says why the run stopped early, "" when it did not.
bool RunToTheEnd(PortSession& port, RunKind kind, const Pacing& pacing, std::string* reason,
                 int* status) {
    *status = kExitFailed;
    if (!port.Open()) return false;
    RunEnd end;
    if (!port.Run(kind, pacing, &end) || !port.AwaitReplies()) {
        *status = InterruptedExit();
        return false;
    }
    *reason = Trouble(end, port);
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
    if (port.notUnderstood() > 0) std::fprintf(stderr, "kvt540m-cli: %s\n", kNotUnderstood);
    return port.AllAnswered() && !port.seam().replyMessages().empty() ? kExitOk : kExitFailed;
}

int SendAllItemsOverPort(Session& session, const PortOptions& options) {
    PortSession port(session, options);
    std::string reason;
    int status;
    if (!RunToTheEnd(port, RunKind::AllItems, options.pacing, &reason, &status)) return status;
    if (!reason.empty()) std::fprintf(stderr, "kvt540m-cli: %s\n", reason.c_str());
    return reason.empty() && port.AllAnswered() ? kExitOk : kExitFailed;
}

// OUT is written only when every request was answered: a read cut short
// must not replace a file with values the sign never sent.
int ReadBackOverPort(Session& session, const std::string& outPath, const PortOptions& options) {
    PortSession port(session, options);
    std::string reason;
    int status;
    if (!RunToTheEnd(port, RunKind::ReadBack, options.pacing, &reason, &status)) return status;
    if (!reason.empty() || !port.AllAnswered()) {
        std::fprintf(stderr, "kvt540m-cli: %s%s%d of %d requests answered; %s not written\n",
                     reason.c_str(), reason.empty() ? "" : "; ",
                     port.answered() - port.notUnderstood(), kReadBackLastStep - 1,
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
