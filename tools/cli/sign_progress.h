// What a run over signs shows on standard error as it goes, for the bus and
// the fleet commands alike. Not on a terminal: a line per step ("NAME step
// N", "NAME verify step N"). On a terminal: a bar of the sign in hand (a
// bus), or a status row per line redrawn in place at most ten times a
// second (a fleet).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "loop/clock.h"
#include "transfer/fleet_run.h"

namespace kvt::cli {

class SignProgress : public FleetView {
public:
    enum class Look { Lines, Bar, Rows };

    // lines: the run's lines and their signs, as long as the progress is
    // shown; reading: a read (whose read-back is no verification).
    SignProgress(const std::vector<FleetLine>& lines, Clock& clock, Look look, bool reading);
    ~SignProgress() override;

    void FleetStarted() override;
    void LineOpening(size_t line) override;
    void LineMessage(size_t line, const std::string& text) override;
    void SignRunStarted(size_t line, size_t sign, RunKind kind) override;
    void StepDone(size_t line, size_t sign, int step) override;
    void SignDone(size_t line, size_t sign, const SlaveResult& result,
                  const Session& session) override;
    void LineDone(size_t line) override;

    // The run has ended: the rows drawn a last time.
    virtual void Finish();

private:
    enum class State { Waiting, Opening, AtWork, Done };
    struct Row {
        State state = State::Waiting;
        size_t sign = 0;  // AtWork: the sign in hand
        bool verifying = false;
        int step = 0;  // the last step done, 0 for none yet
        int lastStep = 0;
        int done = 0, failed = 0;
    };

    const std::string& SignLabel(const Row& row, size_t line) const;
    void EndBar();
    void Changed();
    void WritePendingLines();
    void Redraw();
    std::string RowText(size_t line) const;

    const std::vector<FleetLine>& lines_;
    Clock& clock_;
    Look look_;
    bool reading_;
    std::vector<Row> rows_;
    std::unique_ptr<Timer> redraw_;
    std::string pendingLines_;  // step lines not written yet (Look::Lines)
    bool redrawDue_ = false;
    Millis lastDrawn_ = -1000;
    int drawnRows_ = 0;
    bool barShown_ = false;
};

}  // namespace kvt::cli
