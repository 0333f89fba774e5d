// A run over the slaves of an RS-485 bus, one after the other on the same
// line: deploy (the all-items transfer to each, then optionally its
// read-back compared with the file), verify each (read back and compare)
// or read each one back. Each sign may have settings of its own; an
// RS-232C line has one sign, without a slave number. Each slave's
// runs go through the run engine; a slave that stays silent ends at its
// first "No Connect", so it holds up the others for one reply time-out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/session.h"
#include "loop/clock.h"
#include "transfer/pacing.h"
#include "transfer/run_engine.h"
#include "transfer/sign_line.h"
#include "transfer/sign_result.h"

namespace kvt {

enum class BusJob { Deploy, ReadAll, Verify };

// A sign of the bus: its slave number (kNoSlave: the one sign of an RS-232C
// line) and the settings it is to hold (a deploy, a verify; nullptr: the
// session's store at the start).
struct BusTarget {
    int slave = 0;
    const PanelSettings* settings = nullptr;
    int currentPage = 0;
};

// What the multi-sign dialog and the command-line tool show of a bus run.
class BusView {
public:
    virtual ~BusView() = default;
    // A run for the slave starts: the transfer, its verification, or the read.
    virtual void SlaveRunStarted(int /*slave*/, RunKind /*kind*/) {}
    virtual void StepDone(int /*slave*/, int /*step*/) {}
    // The slave is done. For read-all the session's store holds what was
    // read from it (keep it now: the next slave's read replaces it).
    virtual void SlaveDone(const SlaveResult& /*result*/, const Session& /*session*/) {}
    virtual void BusDone(const std::vector<SlaveResult>& /*results*/) {}
};

class BusRun : private SessionListener, private RunView {
public:
    explicit BusRun(SignLine& line);
    ~BusRun() override;
    BusRun(const BusRun&) = delete;
    BusRun& operator=(const BusRun&) = delete;

    // Puts the session in RS-485 mode and starts with the first slave.
    // False, nothing changed, while another run is going on or with no slave.
    bool Start(BusJob job, const std::vector<int>& slaves, bool verify, const Pacing& pacing,
               BusView* view);
    // The same for signs with settings of their own (which must outlive the
    // run); a target without a slave runs in RS-232C mode.
    bool StartSigns(BusJob job, const std::vector<BusTarget>& targets, bool verify,
                    const Pacing& pacing, BusView* view);
    // Ends the bus run without a word to the view; the session keeps the
    // store it had at the start.
    void Abort();

    bool running() const { return phase_ != Phase::Idle; }
    const std::vector<SlaveResult>& results() const { return results_; }

private:
    enum class Phase { Idle, Running, AwaitingLastReply };

    void StartSlave();
    void StartRun(RunKind kind);
    void RunDone(RunEnd end);
    void PhaseDone();
    void SlaveDone();
    SignProblem Problem(RunEnd end) const;
    // SessionListener
    void ReplyInterpreted() override;
    void NoConnect() override;
    // RunView
    void StepDone(int step) override;
    void RunEnded(RunEnd end) override;

    SignLine& line_;
    Session& session_;
    Clock& clock_;
    RunEngine& engine_;
    std::unique_ptr<Timer> timer_;  // next slave; the wait for the last reply
    BusView* view_ = nullptr;
    BusJob job_ = BusJob::Deploy;
    bool verify_ = false;
    Pacing pacing_;
    std::vector<BusTarget> targets_;
    size_t next_ = 0;  // index of the slave being served
    Phase phase_ = Phase::Idle;
    RunKind kind_ = RunKind::AllItems;
    RunEnd end_ = RunEnd::Finished;
    // The session's store at the start, given back at the end.
    PanelSettings startStore_;
    int startPage_ = 0;
    // What the slave in hand is to hold, while a deploy verifies or a verify
    // compares (the read-back fills the session's store): the target's
    // settings, or startStore_.
    const PanelSettings* file_ = nullptr;
    int filePage_ = 0;
    int startLineMode_ = 0;
    int startSlave_ = 0;
    SlaveResult current_;
    Millis slaveStart_ = 0;
    std::vector<SlaveResult> results_;
};

}  // namespace kvt
