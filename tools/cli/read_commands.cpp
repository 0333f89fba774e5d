// read, decode and verify: the sign's settings read back over the link or
// from captured replies, and compared with a file.
#include <cstdio>
#include <string>

#include "settings/bounded_read.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"
#include "tools/cli/outcome_table.h"
#include "tools/cli/port_session.h"
#include "tools/cli/sign_results.h"
#include "transfer/sign_compare.h"

namespace kvt::cli {

namespace {

// The link hands the interpreter lines of at most this many bytes and drops
// longer ones.
constexpr size_t kMaxReplyLine = 499;

// --base FILE.dat, or the defaults the store starts with.
bool LoadBase(const Args& args, Session& session) {
    return !args.baseGiven || LoadStore(session, args.base);
}

// OUT is written only when every request was answered: a read cut short
// must not replace a file with values the sign never sent.
int ReadBackOverPort(Session& session, const std::string& outPath, const PortOptions& options) {
    PortSession port(session, options);
    RunOutcome outcome;
    int status;
    if (!port.RunToTheEnd(RunKind::ReadBack, &outcome, &status)) return status;
    if (outcome != RunOutcome::Finished || !port.AllAnswered()) {
        const std::string reason = RunStopText(outcome);
        std::fprintf(stderr, "kvt540m-cli: %s%s%d of %d requests answered; %s not written\n",
                     reason.c_str(), reason.empty() ? "" : "; ",
                     port.tally().answered - port.tally().notUnderstood, kReadBackLastStep - 1,
                     Clipped(outPath).c_str());
        return kExitFailed;
    }
    return SaveStore(session, outPath);
}

}  // namespace

int RunRead(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;
    if (!LoadBase(args, session)) return kExitFailed;
    const PortOptions options = ApplyLinkOptions(args, session);
    return ReadBackOverPort(session, args.positional[0], options);
}

// Replays captured reply lines through the interpreter, as the link would
// hand them over, and saves what the read-back replies put in the store.
int RunDecode(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;  // its boxes go to standard error
    if (!LoadBase(args, session)) return kExitFailed;
    ApplyLinkOptions(args, session);
    std::string input;
    const BoundedRead read = ReadWholeStream(stdin, &input);
    if (read != BoundedRead::Ok) {
        const std::string why = read == BoundedRead::TooLarge
                                    ? std::string("standard input is larger than ") + kMaxInputText
                                    : "cannot read standard input";
        std::fprintf(stderr, "kvt540m-cli: %s; %s not written\n", why.c_str(),
                     Clipped(args.positional[0]).c_str());
        return kExitFailed;
    }
    size_t start = 0;
    for (size_t lf = input.find('\n'); lf != std::string::npos; lf = input.find('\n', start)) {
        std::string line = input.substr(start, lf + 1 - start);
        start = lf + 1;
        if (line.size() <= kMaxReplyLine) session.InterpretReply(line);
    }
    return SaveStore(session, args.positional[0]);
}

int RunVerify(const Args& args) {
    if (args.positional.size() != 1) return UsageError("verify needs FILE.dat");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const PanelSettings file = session.panelSettings;
    const int filePage = session.currentPage;
    const PortOptions options = ApplyLinkOptions(args, session);
    PortSession port(session, options);
    if (!port.Open()) return port.OpenFailedStatus();
    session.ResetSettings();
    RunEnd end;
    if (!port.Run(RunKind::ReadBack, options.pacing, &end, true) ||
        (end == RunEnd::Finished && !port.AwaitReplies()))
        return InterruptedExit();
    if (end != RunEnd::Finished || !port.AllAnswered()) {
        std::fprintf(stderr, "kvt540m-cli: the read-back failed: %s\n",
                     ReadBackFailureText(OutcomeOf(end, port.tally().notUnderstood > 0)));
        return kExitFailed;
    }
    const std::vector<std::string> differences =
        CompareWithSign(file, filePage, session.panelSettings, session.currentPage);
    PrintDifferences(differences);
    if (differences.empty()) std::printf("The sign holds what the file says.\n");
    return differences.empty() ? kExitOk : kExitDiffers;
}

}  // namespace kvt::cli
