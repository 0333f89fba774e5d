#include "fleet/fleet_tracker.h"

#include "transfer/run_steps.h"

namespace kvt {

FleetTracker::FleetTracker(std::vector<std::vector<size_t>> rows, bool reading)
    : rows_(std::move(rows)), reading_(reading) {
    for (const auto& line : rows_) {
        states_.emplace_back(line.size());
        changed_.emplace_back(line.size(), false);
        for (FleetSignState& state : states_.back()) state.stage = FleetSignState::Stage::Waiting;
    }
}

FleetSignState& FleetTracker::Mark(size_t line, size_t sign) {
    if (!changed_[line][sign]) {
        changed_[line][sign] = true;
        changedList_.emplace_back(line, sign);
    }
    return states_[line][sign];
}

void FleetTracker::LineOpening(size_t line) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t sign = 0; sign < states_[line].size(); ++sign)
        Mark(line, sign).stage = FleetSignState::Stage::Opening;
}

void FleetTracker::SignRunStarted(size_t line, size_t sign, RunKind kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    FleetSignState& state = Mark(line, sign);
    if (kind != RunKind::ReadBack)
        state.stage = FleetSignState::Stage::Sending;
    else
        state.stage = reading_ ? FleetSignState::Stage::Reading : FleetSignState::Stage::Verifying;
    state.step = 0;
    state.lastStep = LastStep(kind);
    // The signs after it on its line wait their turn.
    for (size_t next = sign + 1; next < states_[line].size(); ++next)
        if (states_[line][next].stage == FleetSignState::Stage::Opening)
            Mark(line, next).stage = FleetSignState::Stage::Waiting;
}

void FleetTracker::StepDone(size_t line, size_t sign, int step) {
    std::lock_guard<std::mutex> lock(mutex_);
    Mark(line, sign).step = step;
}

void FleetTracker::SignDone(size_t line, size_t sign, const SlaveResult& result,
                            const Session& session) {
    std::lock_guard<std::mutex> lock(mutex_);
    FleetSignState& state = Mark(line, sign);
    state.stage = FleetSignState::Stage::Done;
    state.result = result;
    if (reading_ && result.ok())
        reads_.push_back({rows_[line][sign], session.panelSettings, session.currentPage});
}

void FleetTracker::TakeResults(size_t line, const std::vector<SlaveResult>& results) {
    for (size_t sign = 0; sign < states_[line].size() && sign < results.size(); ++sign) {
        if (states_[line][sign].stage == FleetSignState::Stage::Done) continue;
        FleetSignState& state = Mark(line, sign);
        state.stage = FleetSignState::Stage::Done;
        state.result = results[sign];
    }
}

void FleetTracker::LineDone(size_t line) {
    if (!run_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    TakeResults(line, run_->results()[line]);
}

void FleetTracker::Finish(const std::vector<std::vector<SlaveResult>>& results) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t line = 0; line < states_.size() && line < results.size(); ++line)
        TakeResults(line, results[line]);
    ended_ = true;
}

FleetChanges FleetTracker::Take() {
    FleetChanges changes;
    std::lock_guard<std::mutex> lock(mutex_);
    changes.rows.reserve(changedList_.size());
    for (const auto& [line, sign] : changedList_) {
        changes.rows.emplace_back(rows_[line][sign], states_[line][sign]);
        changed_[line][sign] = false;
    }
    changedList_.clear();
    changes.reads.swap(reads_);
    changes.ended = ended_;
    return changes;
}

}  // namespace kvt
