// The beat of a session's reply time-out: a tick every 500 ms, each one a
// ReplyTimeoutTick of the session ("No Connect" on the seventh tick that
// finds a command unanswered). A tick that comes while the "No Connect" box
// of an earlier tick is open is skipped.
#pragma once

#include <memory>

#include "session/session.h"
#include "loop/clock.h"

namespace kvt {

class ReplyTimer : private SessionListener {
public:
    ReplyTimer(Session& session, Clock& clock);
    ~ReplyTimer() override;
    ReplyTimer(const ReplyTimer&) = delete;
    ReplyTimer& operator=(const ReplyTimer&) = delete;

    // The window program: the beat (re)starts now, first tick in 500 ms.
    void Restart();
    // The command-line tool: the beat starts with the first command sent,
    // its first tick half a beat later.
    void StartWithFirstCommand() { startOnCommand_ = true; }
    void Stop();
    bool active() const { return active_; }

private:
    void OnTimer();
    void CommandSent() override;

    Session& session_;
    Clock& clock_;
    std::unique_ptr<Timer> timer_;
    bool active_ = false;
    bool startOnCommand_ = false;
    bool inTick_ = false;
    Millis due_ = 0;
};

}  // namespace kvt
