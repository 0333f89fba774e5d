// What a fleet run shows on standard error as it goes: on a terminal one
// status row per line, redrawn in place at most ten times a second; else
// plain lines as the bus commands print them. For a read it also writes
// each sign's file as soon as the sign is done.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "transfer/clock.h"
#include "transfer/fleet_run.h"

namespace kvt::cli {

class FleetProgress : public FleetView {
public:
    // readDir: where a read puts DIR/NAME.dat ("" for deploy and verify).
    FleetProgress(const FleetRun& run, Clock& clock, std::string readDir, bool terminal);
    ~FleetProgress() override;

    void LineOpening(size_t line) override;
    void LineMessage(size_t line, const std::string& text) override;
    void SignRunStarted(size_t line, size_t sign, RunKind kind) override;
    void StepDone(size_t line, size_t sign, int step) override;
    void SignDone(size_t line, size_t sign, const SlaveResult& result,
                  const Session& session) override;
    void LineDone(size_t line) override;

    // The rows drawn a last time, as the run ended.
    void Finish();
    // What the run says of each sign, with the files a read could not write.
    SlaveResult ResultOf(size_t line, size_t sign) const;

private:
    struct Row {
        std::string state = "waiting";  // waiting, opening, the sign and its step, done
        int done = 0, failed = 0;
    };

    void Changed();
    void Redraw();
    std::string RowText(size_t line) const;

    const FleetRun& run_;
    Clock& clock_;
    std::string readDir_;
    bool terminal_;
    std::vector<Row> rows_;
    std::map<std::pair<size_t, size_t>, std::string> fileErrors_;
    std::unique_ptr<Timer> redraw_;
    bool redrawDue_ = false;
    Millis lastDrawn_ = -1000;
    int drawnRows_ = 0;
};

}  // namespace kvt::cli
