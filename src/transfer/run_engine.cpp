#include "transfer/run_engine.h"

namespace kvt {

RunEngine::RunEngine(Session& session, Clock& clock)
    : session_(session), clock_(clock), timer_(clock.NewTimer([this] { OnTimer(); })) {
    session_.AddListener(this);
}

RunEngine::~RunEngine() {
    session_.RemoveListener(this);
    if (running_) {
        running_ = false;
        session_.transferStep = 0;
    }
}

bool RunEngine::Start(RunKind kind, const Pacing& pacing, RunView* view) {
    int idle = 0;
    if (!session_.transferStep.compare_exchange_strong(idle, 1)) return false;
    kind_ = kind;
    pacing_ = pacing;
    view_ = view;
    running_ = true;
    abortPending_ = false;
    awaitingReply_ = false;
    if (pacing_.pace == Pace::Timed) {
        due_ = clock_.Now() + TimedPeriodMs(kind_, 0);
        timer_->StartAt(due_);
    } else {
        timer_->StartAt(clock_.Now());
    }
    return true;
}

void RunEngine::Abort() {
    view_ = nullptr;
    if (!running_) return;
    if (inTick_) {
        abortPending_ = true;
        return;
    }
    FinishAbort();
}

void RunEngine::FinishAbort() {
    abortPending_ = false;
    timer_->Stop();
    running_ = false;
    session_.transferStep = 0;
}

void RunEngine::OnTimer() {
    if (!running_) return;
    // Timed pacing beats on like a periodic timer, also while a box of an
    // earlier tick is open.
    if (pacing_.pace == Pace::Timed) ScheduleNextTick();
    if (inTick_) return;  // an earlier tick's box is still open: this tick is lost
    inTick_ = true;
    PerformStep();
    inTick_ = false;
    if (abortPending_) FinishAbort();
}

void RunEngine::ScheduleNextTick() {
    const Millis period = TimedPeriodMs(kind_, session_.transferStep);
    due_ += period;
    // A beat missed while the program was held up is skipped, not caught up.
    const Millis now = clock_.Now();
    if (due_ <= now) due_ += ((now - due_) / period + 1) * period;
    timer_->StartAt(due_);
}

void RunEngine::PerformStep() {
    const int step = session_.transferStep;
    if (session_.errorReply != 0) {
        session_.errorReply = 0;
        End(RunEnd::StoppedOnError);
        return;
    }
    if (view_) view_->BeforeStep(step);
    const Command command = StepCommand(session_, kind_, step);
    const bool sends = !command.rejected() && !command.line.empty();
    awaitingReply_ = sends && pacing_.pace == Pace::Reply;
    session_.Dispatch(command);
    if (!running_) return;  // ended while its box was open
    if (view_) view_->StepDone(step);
    if (step >= LastStep(kind_)) {
        // Idle again right after the last step, so that its "GO" shows the
        // run's one "Success".
        End(RunEnd::Finished);
        return;
    }
    session_.transferStep = step + 1;
    // Reply pacing: a step that sent nothing takes no time.
    if (pacing_.pace == Pace::Reply && !awaitingReply_) timer_->StartAt(clock_.Now());
}

void RunEngine::End(RunEnd end) {
    timer_->Stop();
    running_ = false;
    awaitingReply_ = false;
    session_.transferStep = 0;
    RunView* view = view_;
    view_ = nullptr;
    if (view) view->RunEnded(end);
}

void RunEngine::ReplyInterpreted() {
    if (!running_ || !awaitingReply_) return;
    awaitingReply_ = false;
    if (session_.errorReply != 0) {
        session_.errorReply = 0;
        End(RunEnd::StoppedOnError);
        return;
    }
    timer_->StartAt(clock_.Now() + pacing_.gapMs);
}

void RunEngine::NoConnect() {
    if (running_ && awaitingReply_) End(RunEnd::NoConnect);
}

}  // namespace kvt
