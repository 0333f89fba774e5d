// A run over many lines at once, on one clock: each line a session of its
// own with its run engine, its reply time-out and a bus run over its signs.
// The signs of one line go one after another, the lines side by side, at
// most `jobs` of them at a time. A line whose port does not open, or whose
// port goes away during the run, fails its own signs ("not reached") and no
// other line; a silent sign costs its line one reply time-out.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/session.h"
#include "transfer/bus_run.h"
#include "loop/clock.h"
#include "transfer/pacing.h"

namespace kvt {

struct FleetSign {
    std::string name;       // in tables and reports
    int slave = kNoSlave;   // 0..31 on an RS-485 line; kNoSlave: the one sign of an RS-232C line
    PanelSettings settings; // what it is to hold (deploy, verify)
    int currentPage = 0;
    std::string file;       // the settings file it was read from ("" when none was read)
};

struct FleetLine {
    std::string name;    // the port as the sheet names it
    std::string device;  // what is opened for it
    std::vector<FleetSign> signs;
};

// Opens the port of a line for the run, in its own way (on an event loop,
// at once in tests). done(opened) comes on the clock's thread, later.
class LineOpener {
public:
    using Done = std::function<void(bool opened)>;
    virtual ~LineOpener() = default;
    virtual void Open(Session& session, const std::string& device, Done done) = 0;
    // The line has ended (or is stopped while opening): its port and
    // whatever else it holds are let go of now, and a done still to come
    // never comes.
    virtual void Release(Session& session) { session.link().CloseLink(); }
};

// What the command-line tool shows of a fleet run. Indexes are those of the
// lines and of the signs within their line.
class FleetView {
public:
    virtual ~FleetView() = default;
    // The run's lines are set (FleetRun::lines), none started yet.
    virtual void FleetStarted() {}
    virtual void LineOpening(size_t /*line*/) {}
    // A message of the line's port while it opened: why it failed, or a
    // warning it opened with.
    virtual void LineMessage(size_t /*line*/, const std::string& /*text*/) {}
    virtual void SignRunStarted(size_t /*line*/, size_t /*sign*/, RunKind /*kind*/) {}
    virtual void StepDone(size_t /*line*/, size_t /*sign*/, int /*step*/) {}
    // For a read the session's store holds what was read from the sign.
    virtual void SignDone(size_t /*line*/, size_t /*sign*/, const SlaveResult& /*result*/,
                          const Session& /*session*/) {}
    virtual void LineDone(size_t /*line*/) {}
};

class FleetRun {
public:
    FleetRun(Clock& clock, LineOpener& opener);
    ~FleetRun();  // ends the run, closes every port
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    // Starts the first `jobs` lines (0: all of them). False with no line.
    bool Start(BusJob job, std::vector<FleetLine> lines, bool verify, const Pacing& pacing,
               size_t jobs, FleetView* view);
    // Stops every line at once: the sign in hand on each line ends
    // interrupted, the signs not started stay "not reached".
    void Abort();

    bool running() const { return running_; }
    const std::vector<FleetLine>& lines() const { return lines_; }
    // Per line, per sign; "not reached" until the sign is done.
    const std::vector<std::vector<SlaveResult>>& results() const { return results_; }
    // How many lines are open or opening now.
    size_t busyLines() const { return busy_; }

private:
    struct Rig;
    enum class LineState { Waiting, Opening, Running, Done };

    void StartNextLines();
    void StartLine(size_t line);
    void Opened(size_t line, bool opened);
    void SignDone(size_t line, size_t sign, const SlaveResult& result, const Session& session);
    void FailRest(size_t line, SignProblem why, const std::string& detail);
    void MarkInterrupted(size_t line, size_t sign);
    void LineDone(size_t line);

    Clock& clock_;
    LineOpener& opener_;
    BusJob job_ = BusJob::Deploy;
    bool verify_ = false;
    Pacing pacing_;
    size_t jobs_ = 0;
    FleetView* view_ = nullptr;
    bool running_ = false;
    size_t busy_ = 0;
    std::vector<FleetLine> lines_;
    std::vector<LineState> states_;
    std::vector<std::vector<SlaveResult>> results_;
    std::vector<std::unique_ptr<Rig>> rigs_;
};

}  // namespace kvt
