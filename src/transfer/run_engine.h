// Runs every multi-step run of a session from its step table (run_steps.h)
// at the pace of its pacing (pacing.h), on a clock seam (clock.h).
//
// One run at a time: a run starts only while the session's transferStep is
// 0 and holds it at the step the next tick performs. Timed pacing: a tick
// first finds an error reply (errorReply set) and stops the run without
// sending, or performs its step; a tick that comes while an earlier tick's
// box is still open is skipped. Reply pacing: each step goes out as soon as
// the previous one was answered, after the gap; a step that sends nothing
// takes no time; an error reply stops the run when it has been interpreted,
// and "No Connect" stops it too.
#pragma once

#include <memory>

#include "session/session.h"
#include "loop/clock.h"
#include "transfer/pacing.h"
#include "transfer/run_steps.h"

namespace kvt {

enum class RunEnd {
    Finished,        // the last step was done
    StoppedOnError,  // an error reply stopped it
    NoConnect,       // reply pacing: a command stayed unanswered
};

// What a dialog, the settings sheet or the command-line tool shows of a run.
class RunView {
public:
    virtual ~RunView() = default;
    // Just before the step's command is built and sent.
    virtual void BeforeStep(int /*step*/) {}
    // The step was performed (sent, or its rejection shown).
    virtual void StepDone(int /*step*/) {}
    virtual void RunEnded(RunEnd /*end*/) {}
};

class RunEngine : private SessionListener {
public:
    RunEngine(Session& session, Clock& clock);
    ~RunEngine() override;  // ends a run still going
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    // False, and nothing changed, while a run is going on (transferStep not
    // 0). The view is told about the run until it ends or Abort is called.
    bool Start(RunKind kind, const Pacing& pacing, RunView* view);
    // The run's view goes away: the run ends (transferStep 0) without a word
    // to the view; during a tick whose box is open, once that tick is done.
    void Abort();

    bool running() const { return running_; }
    RunKind kind() const { return kind_; }
    Session& session() { return session_; }
    Clock& clock() { return clock_; }

private:
    void OnTimer();
    void PerformStep();
    void ScheduleNextTick();
    void End(RunEnd end);
    void FinishAbort();
    // SessionListener
    void ReplyInterpreted() override;
    void NoConnect() override;

    Session& session_;
    Clock& clock_;
    std::unique_ptr<Timer> timer_;
    RunKind kind_ = RunKind::AllItems;
    Pacing pacing_;
    RunView* view_ = nullptr;
    bool running_ = false;
    bool inTick_ = false;        // a tick is being performed (its box may be open)
    bool abortPending_ = false;  // Abort came during a tick
    bool awaitingReply_ = false; // reply pacing: the step's reply is due
    Millis due_ = 0;             // timed pacing: when the current tick was due
};

}  // namespace kvt
