#include "transfer/bus_run.h"

#include "transfer/sign_compare.h"

namespace kvt {

namespace {
// How long the last reply of a run may take: seven beats of the time-out.
constexpr Millis kLastReplyMs = 7 * kReplyTickMs;
}  // namespace

BusRun::BusRun(SignLine& line)
    : line_(line),
      session_(line.session()),
      clock_(line.clock()),
      engine_(line.engine()),
      timer_(clock_.NewTimer([this] {
          if (phase_ == Phase::AwaitingLastReply) PhaseDone();
          else if (phase_ == Phase::Running && !engine_.running()) StartSlave();
      })) {
    session_.AddListener(this);
}

BusRun::~BusRun() {
    Abort();
    session_.RemoveListener(this);
}

bool BusRun::Start(BusJob job, const std::vector<int>& slaves, bool verify, const Pacing& pacing,
                   BusView* view) {
    std::vector<BusTarget> targets;
    for (int slave : slaves) targets.push_back({slave, nullptr, 0});
    return StartSigns(job, targets, verify, pacing, view);
}

bool BusRun::StartSigns(BusJob job, const std::vector<BusTarget>& targets, bool verify,
                        const Pacing& pacing, BusView* view) {
    if (running() || targets.empty() || session_.transferStep != 0) return false;
    job_ = job;
    verify_ = verify;
    pacing_ = pacing;
    view_ = view;
    targets_ = targets;
    next_ = 0;
    results_.clear();
    startStore_ = session_.panelSettings;
    startPage_ = session_.currentPage;
    startLineMode_ = session_.lineMode;
    startSlave_ = session_.slaveNo;
    phase_ = Phase::Running;
    StartSlave();
    return true;
}

void BusRun::Abort() {
    view_ = nullptr;
    if (!running()) return;
    phase_ = Phase::Idle;
    timer_->Stop();
    engine_.Abort();
    session_.panelSettings = startStore_;
    session_.currentPage = startPage_;
    session_.lineMode = startLineMode_;
    session_.slaveNo = startSlave_;
}

void BusRun::StartSlave() {
    const BusTarget& target = targets_[next_];
    current_ = SlaveResult{};
    current_.slave = target.slave;
    slaveStart_ = clock_.Now();
    session_.lineMode = target.slave == kNoSlave ? 0 : 1;
    if (target.slave != kNoSlave) session_.slaveNo = target.slave;
    file_ = target.settings ? target.settings : &startStore_;
    filePage_ = target.settings ? target.currentPage : startPage_;
    session_.panelSettings = *file_;
    session_.currentPage = filePage_;
    if (job_ != BusJob::Deploy) session_.ResetSettings();
    StartRun(job_ == BusJob::Deploy ? RunKind::AllItems : RunKind::ReadBack);
}

void BusRun::StartRun(RunKind kind) {
    kind_ = kind;
    // A reply still pending or an error left from the slave before belongs
    // to nobody now.
    line_.ResetTally();
    session_.ResetReplyState();
    phase_ = Phase::Running;
    if (view_) view_->SlaveRunStarted(current_.slave, kind);
    engine_.Start(kind, pacing_, this);
}

void BusRun::StepDone(int step) {
    if (view_) view_->StepDone(current_.slave, step);
}

void BusRun::RunEnded(RunEnd end) {
    end_ = end;
    if (end != RunEnd::Finished || line_.tally().Settled()) {
        PhaseDone();
        return;
    }
    // The reply to the last command is still on its way.
    phase_ = Phase::AwaitingLastReply;
    timer_->StartAt(line_.tally().lastActivity + kLastReplyMs);
}

SignProblem BusRun::Problem(RunEnd end) const {
    const LineTally& tally = line_.tally();
    if (tally.errorReplied) return SignProblem::SignError;
    if (end == RunEnd::NoConnect || tally.noConnects > 0 || tally.answered < tally.sent)
        return SignProblem::NoConnect;
    if (tally.notUnderstood > 0) return SignProblem::NotUnderstood;
    return SignProblem::None;
}

void BusRun::PhaseDone() {
    timer_->Stop();
    phase_ = Phase::Running;
    const SignProblem problem = Problem(end_);
    if (problem != SignProblem::None) {
        current_.problem = problem;
        current_.signError = line_.tally().firstError;
    } else if (kind_ == RunKind::ReadBack && job_ != BusJob::ReadAll) {
        current_.differences =
            CompareWithSign(*file_, filePage_, session_.panelSettings, session_.currentPage);
    } else if (kind_ == RunKind::AllItems && verify_) {
        session_.ResetSettings();
        StartRun(RunKind::ReadBack);
        return;
    }
    SlaveDone();
}

void BusRun::SlaveDone() {
    if (job_ != BusJob::ReadAll) {
        session_.panelSettings = *file_;
        session_.currentPage = filePage_;
    }
    current_.ms = clock_.Now() - slaveStart_;
    results_.push_back(current_);
    if (view_) view_->SlaveDone(current_, session_);
    if (!running()) return;  // aborted by the view
    if (++next_ < targets_.size()) {
        timer_->StartAt(clock_.Now());  // the next slave, once this call has returned
        return;
    }
    phase_ = Phase::Idle;
    session_.panelSettings = startStore_;
    session_.currentPage = startPage_;
    session_.lineMode = startLineMode_;
    session_.slaveNo = startSlave_;
    BusView* view = view_;
    view_ = nullptr;
    if (view) view->BusDone(results_);
}

void BusRun::ReplyInterpreted() {
    if (phase_ == Phase::AwaitingLastReply && line_.tally().Settled()) PhaseDone();
}

void BusRun::NoConnect() {
    if (!running()) return;
    // A silent slave holds up nothing: at any pace its run ends here.
    if (engine_.running()) {
        engine_.Abort();
        RunEnded(RunEnd::NoConnect);
    } else if (phase_ == Phase::AwaitingLastReply) {
        PhaseDone();
    }
}

}  // namespace kvt
