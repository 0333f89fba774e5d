// A session of the command-line tool on the link: opens the port, interprets
// the sign's reply lines on the main thread as they arrive, runs the reply
// time-out and the multi-step runs on a poll loop, without spinning, and
// stops cleanly on Ctrl+C.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/session.h"
#include "tools/cli/cli.h"
#include "tools/cli/interrupt.h"
#include "transfer/bus_run.h"
#include "loop/event_loop.h"
#include "transfer/sign_line.h"
#include "transfer/sign_result.h"

namespace kvt::cli {

// Where the outcomes of a session go: the link's messages to standard
// error (by PortSession::Open), a run's rejected steps to standard error as
// "step N: MESSAGE", and what the sign's replies tell to standard output.
class SessionSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override;
    void Tell(const Outcome& outcome, void* owner) override;

    // While the port opens, its messages are kept for Open to print.
    void SetOpening(bool opening) { opening_ = opening; }
    std::vector<std::string> EndOpening() {
        opening_ = false;
        return std::move(openMessages_);
    }
    // Quiet: the reply messages are kept but not printed (the bus commands
    // print a table instead).
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // The step a rejection belongs to.
    void SetStep(int step) { step_ = step; }
    // What every reply told so far (Success, an error, No Connect).
    const std::vector<OutcomeKind>& replies() const { return replies_; }
    int rejections() const { return rejections_; }

private:
    bool opening_ = false;
    std::vector<std::string> openMessages_;
    bool quiet_ = false;
    int step_ = 0;
    int rejections_ = 0;
    std::vector<OutcomeKind> replies_;
};

class PortSession {
public:
    PortSession(Session& session, const PortOptions& options);
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Opens the port named by the options (or the profile) and starts the
    // reader. False when it failed; the messages are on standard error.
    bool Open();
    // The exit status after Open failed: interrupted when Ctrl+C (or
    // SIGTERM) stopped it.
    int OpenFailedStatus() const;
    // Runs a multi-step run to its end, showing progress on standard error
    // (after label, when given). False when Ctrl+C (or SIGTERM) came; *end
    // tells how the run ended. With stopOnSilence a "No Connect" ends the
    // run at any pace, so that a sign that does not answer holds up nothing.
    bool Run(RunKind kind, const Pacing& pacing, RunEnd* end, bool stopOnSilence = false,
             const std::string& label = "");
    // Runs over the slaves of a bus (bus_run.h) to its end. False when
    // Ctrl+C (or SIGTERM) came; the bus run then stops at once.
    bool RunBus(BusJob job, const std::vector<int>& slaves, bool verify, const Pacing& pacing,
                BusView* view);
    // Opens the port and runs kind at the options' pace to its end, waiting
    // for the last replies. False with *status set when it could not (no
    // port, Ctrl+C); otherwise *outcome says how the run ended.
    bool RunToTheEnd(RunKind kind, RunOutcome* outcome, int* status);
    // After the last command: serves until every command has had a reply
    // line, "No Connect" has been shown, or nothing came for the time-out.
    // False when Ctrl+C came.
    bool AwaitReplies();

    SessionSeam& seam() { return seam_; }
    const SessionSeam& seam() const { return seam_; }
    const LineTally& tally() const { return line_.tally(); }
    Clock& clock() { return loop_; }
    // True when every command got a reply that was understood, no step was
    // rejected and every reply told Success (a read-back reply tells none).
    bool AllAnswered() const;

private:
    Session& session_;
    PortOptions options_;
    std::unique_ptr<Trace> trace_;
    SessionSeam seam_;
    EventLoop loop_;
    SignLine line_;
    InterruptGuard interrupt_;
};

}  // namespace kvt::cli
