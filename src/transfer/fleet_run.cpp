#include "transfer/fleet_run.h"

#include "transfer/sign_line.h"

namespace kvt {

namespace {

// What a line's port said while it opened is kept for the view; the
// outcomes of the replies need no one (the bus run keeps what they tell).
class LineSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
    }
    void Tell(const Outcome& outcome, void*) override {
        if (opening && outcome.kind == OutcomeKind::LinkMessage) messages.push_back(outcome.message);
    }
    bool opening = true;
    std::vector<std::string> messages;
};

}  // namespace

// One line's world: its session and what runs on it.
struct FleetRun::Rig : BusView {
    Rig(FleetRun& run, size_t index, Clock& clock)
        : fleet(run),
          index(index),
          session(&seam),
          line(session, clock),
          bus(line) {
        line.replyTimer().StartWithFirstCommand();
    }
    void SlaveRunStarted(int, RunKind kind) override {
        if (fleet.view_) fleet.view_->SignRunStarted(index, sign, kind);
    }
    void StepDone(int, int step) override {
        if (fleet.view_) fleet.view_->StepDone(index, sign, step);
    }
    void SlaveDone(const SlaveResult& result, const Session& done) override {
        fleet.SignDone(index, sign++, result, done);
    }
    void BusDone(const std::vector<SlaveResult>&) override { fleet.LineDone(index); }

    FleetRun& fleet;
    size_t index;
    size_t sign = 0;  // the sign in hand
    LineSeam seam;
    Session session;
    SignLine line;
    BusRun bus;
};

FleetRun::FleetRun(Clock& clock, LineOpener& opener) : clock_(clock), opener_(opener) {}

FleetRun::~FleetRun() { Abort(); }

bool FleetRun::Start(BusJob job, std::vector<FleetLine> lines, bool verify, const Pacing& pacing,
                     size_t jobs, FleetView* view) {
    if (running_ || lines.empty()) return false;
    job_ = job;
    verify_ = verify;
    pacing_ = pacing;
    jobs_ = jobs == 0 ? lines.size() : jobs;
    view_ = view;
    lines_ = std::move(lines);
    states_.assign(lines_.size(), LineState::Waiting);
    results_.clear();
    for (const FleetLine& line : lines_) {
        std::vector<SlaveResult> signs(line.signs.size());
        for (size_t k = 0; k < signs.size(); ++k) {
            signs[k].slave = line.signs[k].slave;
            signs[k].notReached = true;
        }
        results_.push_back(std::move(signs));
    }
    rigs_.clear();
    rigs_.resize(lines_.size());
    busy_ = 0;
    running_ = true;
    if (view_) view_->FleetStarted();
    StartNextLines();
    return true;
}

void FleetRun::StartNextLines() {
    for (size_t i = 0; i < lines_.size() && busy_ < jobs_ && running_; ++i)
        if (states_[i] == LineState::Waiting) StartLine(i);
}

void FleetRun::StartLine(size_t line) {
    states_[line] = LineState::Opening;
    ++busy_;
    rigs_[line] = std::make_unique<Rig>(*this, line, clock_);
    if (view_) view_->LineOpening(line);
    opener_.Open(rigs_[line]->session, lines_[line].device,
                 [this, line](bool opened) { Opened(line, opened); });
}

void FleetRun::Opened(size_t line, bool opened) {
    if (!running_ || states_[line] != LineState::Opening) return;
    Rig& rig = *rigs_[line];
    rig.seam.opening = false;
    if (view_)
        for (const std::string& message : rig.seam.messages) view_->LineMessage(line, message);
    std::vector<BusTarget> targets;
    for (const FleetSign& sign : lines_[line].signs)
        targets.push_back({sign.slave, &sign.settings, sign.currentPage});
    states_[line] = LineState::Running;
    if (!opened || !rig.bus.StartSigns(job_, targets, verify_, pacing_, &rig)) {
        FailRest(line, SignProblem::PortNotOpened,
                 rig.seam.messages.empty() ? "" : rig.seam.messages.front());
        LineDone(line);
    }
}

void FleetRun::SignDone(size_t line, size_t sign, const SlaveResult& result,
                        const Session& session) {
    results_[line][sign] = result;
    if (view_) view_->SignDone(line, sign, result, session);
    // A port that went away answers nobody after this sign either.
    Rig& rig = *rigs_[line];
    if (running_ && !result.ok() && rig.session.link().state() == SerialLink::State::Failed &&
        sign + 1 < results_[line].size()) {
        rig.bus.Abort();
        FailRest(line, SignProblem::LineFailed, "");
        LineDone(line);
    }
}

void FleetRun::FailRest(size_t line, SignProblem why, const std::string& detail) {
    for (SlaveResult& result : results_[line]) {
        if (!result.notReached) continue;
        result.problem = why;
        result.detail = detail;
    }
}

void FleetRun::MarkInterrupted(size_t line, size_t sign) {
    if (sign >= results_[line].size()) return;
    SlaveResult& result = results_[line][sign];
    result.notReached = false;
    result.problem = SignProblem::Interrupted;
    if (view_) view_->SignDone(line, sign, result, rigs_[line]->session);
}

void FleetRun::LineDone(size_t line) {
    if (states_[line] == LineState::Done) return;
    states_[line] = LineState::Done;
    --busy_;
    opener_.Release(rigs_[line]->session);
    if (view_) view_->LineDone(line);
    StartNextLines();
    if (busy_ == 0) running_ = false;
}

void FleetRun::Abort() {
    if (!running_) return;
    running_ = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (states_[i] == LineState::Running) {
            rigs_[i]->bus.Abort();
            MarkInterrupted(i, rigs_[i]->sign);
        }
        if (states_[i] != LineState::Waiting) states_[i] = LineState::Done;
    }
    busy_ = 0;
    // Every port goes at once, the ones still opening included.
    for (const auto& rig : rigs_)
        if (rig) opener_.Release(rig->session);
}

}  // namespace kvt
