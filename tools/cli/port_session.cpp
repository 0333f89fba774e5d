#include "tools/cli/port_session.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "profile/profile.h"
#include "tools/cli/outcome_table.h"

namespace kvt::cli {

namespace {

// Seven ticks: how long AwaitReplies waits for a reply that may still come.
constexpr Millis kQuietMs = 7 * kReplyTickMs;

const std::atomic<bool>& stopAsked = InterruptGuard::flag();

// The step counter of a run on standard error: a bar on a terminal, one
// line per step otherwise.
class Progress : public RunView {
public:
    Progress(SessionSeam& seam, int lastStep, std::string label)
        : seam_(seam), lastStep_(lastStep), label_(std::move(label)), bar_(::isatty(2) == 1) {}
    ~Progress() override {
        if (bar_ && shown_) std::fputc('\n', stderr);
    }
    void BeforeStep(int step) override { seam_.SetStep(step); }
    void StepDone(int step) override {
        seam_.SetStep(0);
        Show(step);
    }
    void RunEnded(RunEnd end) override {
        seam_.SetStep(0);
        end_ = end;
    }
    RunEnd end() const { return end_; }

private:
    void Show(int step) {
        shown_ = true;
        if (!bar_) {
            std::fprintf(stderr, "%sstep %d\n", label_.c_str(), step);
            return;
        }
        constexpr int kWidth = 40;
        const int filled = step * kWidth / lastStep_;
        std::fprintf(stderr, "\r%s[%s%s] %d/%d", label_.c_str(), std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), step, lastStep_);
        std::fflush(stderr);
    }

    SessionSeam& seam_;
    int lastStep_;
    std::string label_;
    bool bar_;
    bool shown_ = false;
    RunEnd end_ = RunEnd::Finished;
};

}  // namespace

// The tool's commands ask no questions and show no boxes of their own.
BoxResult SessionSeam::Show(const BoxRequest& box) { return StderrSeam().Show(box); }

void SessionSeam::Tell(const Outcome& outcome, void*) {
    const std::string text = OutcomeText(outcome);
    if (opening_) {
        openMessages_.push_back(text);
    } else if (outcome.kind == OutcomeKind::Rejected) {
        ++rejections_;
        std::fprintf(stderr, "step %d: %s\n", step_, text.c_str());
    } else {
        replies_.push_back(outcome.kind);
        if (!quiet_) {
            std::fprintf(stdout, "%s\n", text.c_str());
            std::fflush(stdout);
        }
    }
}

PortSession::PortSession(Session& session, const PortOptions& options)
    : session_(session),
      options_(options),
      line_(session, loop_) {
    session_.SetSeam(&seam_);
    session_.link().SetConsumer([&session](const std::string& line) { session.InterpretReply(line); });
    line_.replyTimer().StartWithFirstCommand();
}

PortSession::~PortSession() {
    session_.link().CloseLink();
    session_.link().SetTrace(nullptr);
    session_.SetSeam(nullptr);
}

bool PortSession::Open() {
    // --rs485 forces RS-485; otherwise the profile's line type holds.
    if (!options_.rs485) session_.lineMode = ReadProfileInt(kRsControlKey, 0);
    const std::string device = options_.port.empty()
                                   ? PortDevicePath(ReadProfileInt(kComPortKey, 0))
                                   : ResolvePortName(options_.port);
    SerialLink& link = session_.link();
    if (!options_.trace.empty()) {
        trace_ = std::make_unique<Trace>(options_.trace, [](const std::string& text) {
            std::fprintf(stderr, "kvt540m-cli: %s\n", text.c_str());
        });
        link.SetTrace(trace_->Open() ? trace_.get() : nullptr);
    }
    seam_.SetOpening(true);
    bool finished = false;
    link.OpenOn(loop_, device, [&finished] { finished = true; });
    // Ctrl+C stops a connect as well.
    loop_.RunUntil([&finished] { return finished; }, INT64_MAX, &stopAsked);
    // Opened is opened: should the far end hang up before its first reply,
    // the command goes on and ends in "No Connect" as after any dropped
    // connection, instead of failing without a word.
    const bool opened = finished && link.state() == SerialLink::State::Open;
    const std::vector<std::string> messages = seam_.EndOpening();
    // A device that failed is said once: the device, the reason, the first
    // failing step; a network address's own message says as much.
    if (!opened && !link.openFailure().empty())
        std::fprintf(stderr, "kvt540m-cli: %s\n", link.openFailure().c_str());
    else
        for (const std::string& message : messages) std::fprintf(stderr, "%s\n", message.c_str());
    session_.ResetReplyState();
    return opened;
}

int PortSession::OpenFailedStatus() const { return stopAsked ? InterruptedExit() : kExitFailed; }

bool PortSession::Run(RunKind kind, const Pacing& pacing, RunEnd* end, bool stopOnSilence,
                      const std::string& label) {
    Progress progress(seam_, LastStep(kind), label);
    RunEngine& engine = line_.engine();
    const int noConnectsBefore = tally().noConnects;
    auto silent = [&] { return stopOnSilence && tally().noConnects > noConnectsBefore; };
    engine.Start(kind, pacing, &progress);
    const bool done = loop_.RunUntil([&] { return !engine.running() || silent(); }, INT64_MAX,
                                     &stopAsked);
    *end = progress.end();
    if (engine.running()) {
        engine.Abort();
        if (done) *end = RunEnd::NoConnect;
    }
    return done;
}

bool PortSession::RunBus(BusJob job, const std::vector<int>& slaves, bool verify,
                         const Pacing& pacing, BusView* view) {
    BusRun bus(line_);
    bus.Start(job, slaves, verify, pacing, view);
    const bool done = loop_.RunUntil([&] { return !bus.running(); }, INT64_MAX, &stopAsked);
    if (!done) bus.Abort();
    return done;
}

bool PortSession::RunToTheEnd(RunKind kind, RunOutcome* outcome, int* status) {
    *status = kExitFailed;
    if (!Open()) {
        *status = OpenFailedStatus();
        return false;
    }
    RunEnd end;
    if (!Run(kind, options_.pacing, &end) || !AwaitReplies()) {
        *status = InterruptedExit();
        return false;
    }
    *outcome = OutcomeOf(end, tally().notUnderstood > 0);
    return true;
}

bool PortSession::AwaitReplies() {
    const int noConnectsBefore = tally().noConnects;
    auto settled = [&] {
        return tally().answered >= tally().sent ||
               (session_.replyPending == 0 && tally().noConnects > noConnectsBefore);
    };
    while (!settled()) {
        const Millis quietEnd = tally().lastActivity + kQuietMs;
        if (loop_.Now() >= quietEnd) break;
        if (!loop_.RunUntil(settled, quietEnd, &stopAsked)) return false;
    }
    return !stopAsked;
}

bool PortSession::AllAnswered() const {
    if (tally().answered < tally().sent || tally().notUnderstood > 0 || seam_.rejections() > 0)
        return false;
    const auto& replies = seam_.replies();
    return std::all_of(replies.begin(), replies.end(),
                       [](OutcomeKind kind) { return kind == OutcomeKind::Success; });
}

}  // namespace kvt::cli
