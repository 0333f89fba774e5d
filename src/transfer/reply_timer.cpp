#include "transfer/reply_timer.h"

#include "transfer/pacing.h"

namespace kvt {

ReplyTimer::ReplyTimer(Session& session, Clock& clock)
    : session_(session), clock_(clock), timer_(clock.NewTimer([this] { OnTimer(); })) {
    session_.AddListener(this);
}

ReplyTimer::~ReplyTimer() { session_.RemoveListener(this); }

void ReplyTimer::Restart() {
    active_ = true;
    due_ = clock_.Now() + kReplyTickMs;
    timer_->StartAt(due_);
}

void ReplyTimer::Stop() {
    active_ = false;
    startOnCommand_ = false;
    timer_->Stop();
}

void ReplyTimer::CommandSent() {
    if (!startOnCommand_ || active_) return;
    active_ = true;
    due_ = clock_.Now() + kFirstReplyTickMs;
    timer_->StartAt(due_);
}

void ReplyTimer::OnTimer() {
    due_ += kReplyTickMs;
    const Millis now = clock_.Now();
    if (due_ <= now) due_ += ((now - due_) / kReplyTickMs + 1) * kReplyTickMs;
    timer_->StartAt(due_);
    if (inTick_) return;
    inTick_ = true;
    session_.ReplyTimeoutTick();
    inTick_ = false;
}

}  // namespace kvt
