// send, display and read over the serial link.
#include "tools/cli/port_commands.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "serial/reply_state.h"
#include "settings/settings_file.h"
#include "tools/cli/port_session.h"
#include "transfer/all_items_steps.h"
#include "transfer/read_back_steps.h"

namespace kvt::cli {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitInterrupted = 130;  // as a shell reports Ctrl+C

// The step counter of a run on standard error: a bar on a terminal, one
// line per step otherwise.
class Progress {
public:
    explicit Progress(int lastStep) : lastStep_(lastStep), bar_(::isatty(2) == 1) {}
    ~Progress() {
        if (bar_ && shown_) std::fputc('\n', stderr);
    }
    void Show(int step) {
        shown_ = true;
        if (!bar_) {
            std::fprintf(stderr, "step %d\n", step);
            return;
        }
        constexpr int kWidth = 40;
        const int filled = step * kWidth / lastStep_;
        std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), step, lastStep_);
        std::fflush(stderr);
    }

private:
    int lastStep_;
    bool bar_;
    bool shown_ = false;
};

int InterruptedExit() {
    std::fprintf(stderr, "kvt540m-cli: interrupted\n");
    return kExitInterrupted;
}

// Drives a timer-paced run (AllItemsRun or ReadBackRun) to its end: ticks
// at the period the run asks for, replies interpreted between the ticks.
// False when interrupted; *finished tells whether the last step was done.
template <typename Run>
bool DriveRun(PortSession& session, Run& run, int firstPeriodMs, int lastStep, bool* finished) {
    Progress progress(lastStep);
    run.Start();
    auto next = Clock::now() + std::chrono::milliseconds(firstPeriodMs);
    for (;;) {
        if (!session.ServeUntil(next)) {
            run.Abort();
            return false;
        }
        session.seam().SetStep(transferStep);
        const RunTick tick = run.Tick();
        session.seam().SetStep(0);
        if (tick.stepDone > 0) progress.Show(tick.stepDone);
        if (tick.outcome != RunTick::Outcome::Continue) {
            *finished = tick.outcome == RunTick::Outcome::Finished;
            return true;
        }
        // A re-armed timer counts from now; a running one keeps its beat.
        const auto period = std::chrono::milliseconds(tick.periodMs);
        next = tick.periodChanged ? Clock::now() + period : next + period;
    }
}

}  // namespace

int SendSingleOverPort(const Command& command, const PortOptions& options) {
    if (command.rejected()) {
        std::fprintf(stderr, "%s\n", command.message.c_str());
        return kExitFailed;
    }
    PortSession session(options);
    if (!session.Open()) return kExitFailed;
    ResetReplyState();
    Dispatch(command);
    if (!session.AwaitReplies()) return InterruptedExit();
    if (session.answered() > 0 && session.seam().replyMessages().empty())
        std::fprintf(stderr, "kvt540m-cli: the sign's reply was not understood\n");
    return session.AllAnswered() && !session.seam().replyMessages().empty() ? kExitOk
                                                                            : kExitFailed;
}

int SendAllItemsOverPort(const PortOptions& options) {
    PortSession session(options);
    if (!session.Open()) return kExitFailed;
    ResetReplyState();
    AllItemsRun run;
    bool finished = false;
    if (!DriveRun(session, run, kAllItemsSlowPeriodMs, kAllItemsLastStep, &finished))
        return InterruptedExit();
    if (!session.AwaitReplies()) return InterruptedExit();
    if (!finished) std::fprintf(stderr, "kvt540m-cli: the run stopped on the sign's error reply\n");
    return finished && session.AllAnswered() ? kExitOk : kExitFailed;
}

int ReadBackOverPort(const std::string& outPath, const PortOptions& options) {
    PortSession session(options);
    if (!session.Open()) return kExitFailed;
    ResetReplyState();
    ReadBackRun run;
    bool finished = false;
    if (!DriveRun(session, run, kReadBackPeriodMs, kReadBackLastStep, &finished))
        return InterruptedExit();
    if (!session.AwaitReplies()) return InterruptedExit();
    if (!finished) {
        std::fprintf(stderr, "kvt540m-cli: the read-back stopped on the sign's error reply; %s not written\n",
                     outPath.c_str());
        return kExitFailed;
    }
    // Values that were not read would come from the base or the defaults:
    // a file that looks whole but is not is worse than none.
    if (!session.AllAnswered()) {
        std::fprintf(stderr, "kvt540m-cli: %d of %d requests answered; %s not written\n",
                     session.answered(), session.sent(), outPath.c_str());
        return kExitFailed;
    }
    std::string message;
    if (WriteSettingsFile(outPath, &message) != SaveResult::Ok) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kvt::cli
