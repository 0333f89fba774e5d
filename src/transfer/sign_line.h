// One sign's line: its session with the run engine and the reply time-out
// on a clock, and the tally of the commands sent and answered on it. The
// window program, the command-line tool's one-sign commands, bus runs and
// every line of a fleet each work on one; how the sign's reply lines reach
// the session (a pump, a poll loop) and where its outcomes go (the seam) is
// the holder's business.
#pragma once

#include "session/session.h"
#include "loop/clock.h"
#include "transfer/reply_timer.h"
#include "transfer/run_engine.h"

namespace kvt {

// What happened on the line since the tally was last reset.
struct LineTally {
    int sent = 0;
    int answered = 0;  // reply lines interpreted
    int noConnects = 0;
    int notUnderstood = 0;
    bool errorReplied = false;
    SignError firstError = SignError::CommandError;  // when errorReplied
    Millis lastActivity = 0;  // the last command or reply

    // Every command has had its reply, or the sign was given up on.
    bool Settled() const { return answered >= sent || noConnects > 0; }
};

class SignLine : private SessionListener {
public:
    SignLine(Session& session, Clock& clock);
    ~SignLine() override;

    Session& session() { return session_; }
    Clock& clock() { return clock_; }
    RunEngine& engine() { return engine_; }
    ReplyTimer& replyTimer() { return replyTimer_; }

    const LineTally& tally() const { return tally_; }
    // Counts afresh for the next run.
    void ResetTally() { tally_ = LineTally{}; }

private:
    void CommandSent() override;
    void ReplyInterpreted() override;
    void NoConnect() override { ++tally_.noConnects; }
    void ErrorReplied(SignError error) override;
    void ReplyNotUnderstood() override { ++tally_.notUnderstood; }

    Session& session_;
    Clock& clock_;
    LineTally tally_;
    // Told after the tally, so that it is up to date for whoever the engine
    // and the time-out tell.
    RunEngine engine_;
    ReplyTimer replyTimer_;
};

}  // namespace kvt
