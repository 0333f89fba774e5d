// What the fleet window learns of a run as it goes. The run calls the
// tracker on its own thread; the window takes what changed since it last
// looked, on the window's thread, at most ten times a second.
#pragma once

#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

#include "settings/panel_settings.h"
#include "transfer/fleet_run.h"

namespace kvt {

// Where a sign of the window's table stands.
struct FleetSignState {
    enum class Stage { Idle, Waiting, Opening, Sending, Verifying, Reading, Done };
    Stage stage = Stage::Idle;
    int step = 0;      // the last step done, 0 for none yet
    int lastStep = 0;  // of the run on the sign now
    SlaveResult result;  // Done: how it went
};

// What a read took from a sign, for its file: written on the window's
// thread, so that no disk holds the run.
struct FleetRead {
    size_t row = 0;
    PanelSettings settings;
    int currentPage = 0;
};

struct FleetChanges {
    std::vector<std::pair<size_t, FleetSignState>> rows;  // by row of the table
    std::vector<FleetRead> reads;
    bool ended = false;  // the run has ended: nothing more will come
};

class FleetTracker : public FleetView {
public:
    // rows[line][sign]: the table's row of each sign of the run's lines;
    // reading: a read, whose signs' stores are kept for their files.
    FleetTracker(std::vector<std::vector<size_t>> rows, bool reading);

    void LineOpening(size_t line) override;
    void SignRunStarted(size_t line, size_t sign, RunKind kind) override;
    void StepDone(size_t line, size_t sign, int step) override;
    void SignDone(size_t line, size_t sign, const SlaveResult& result,
                  const Session& session) override;
    // A line that failed tells none of its signs on its own: they take
    // their results from the run (Follow), on the run's thread.
    void LineDone(size_t line) override;
    void Follow(const FleetRun& run) { run_ = &run; }
    // The run has ended: the signs it never reached take their results
    // from it.
    void Finish(const std::vector<std::vector<SlaveResult>>& results);

    // What changed since the last call.
    FleetChanges Take();

private:
    // The sign's state, marked changed; under mutex_.
    FleetSignState& Mark(size_t line, size_t sign);

    // The signs of the line not done yet, from results.
    void TakeResults(size_t line, const std::vector<SlaveResult>& results);

    const std::vector<std::vector<size_t>> rows_;
    const bool reading_;
    const FleetRun* run_ = nullptr;
    std::mutex mutex_;  // guards what follows
    std::vector<std::vector<FleetSignState>> states_;
    std::vector<std::vector<bool>> changed_;
    std::vector<std::pair<size_t, size_t>> changedList_;
    std::vector<FleetRead> reads_;
    bool ended_ = false;
};

}  // namespace kvt
