// A session of the command-line tool on the serial link: opens the port,
// interprets the sign's reply lines on the main thread as they arrive, and
// runs the reply time-out every 500 ms, without spinning.
#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "serial/command_port.h"
#include "serial/message_box.h"
#include "serial/reply_queue.h"
#include "serial/serial_link.h"
#include "tools/cli/port_commands.h"

namespace kvt::cli {

using Clock = std::chrono::steady_clock;

// Where the boxes of a session go: the link's port failures to standard
// error, a run's own rejections to standard error as "step N: MESSAGE", and
// the messages of the sign's replies to standard output. Main thread only.
class SessionSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override;

    void SetOpening(bool opening) { opening_ = opening; }
    void SetStep(int step) { step_ = step; }
    // Every reply message shown so far ("Success", "No Connect", errors).
    const std::vector<std::string>& replyMessages() const { return replyMessages_; }
    int rejections() const { return rejections_; }

private:
    bool opening_ = false;
    int step_ = 0;
    int rejections_ = 0;
    std::vector<std::string> replyMessages_;
};

class PortSession : private CommandPort {
public:
    explicit PortSession(const PortOptions& options);
    ~PortSession() override;
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Opens the port named by the options (or the profile) and starts the
    // reader. False when it failed; the messages are on standard error.
    bool Open();
    // Interprets replies and runs the time-out until the given moment.
    // False when Ctrl+C (or SIGTERM) came.
    bool ServeUntil(Clock::time_point until);
    // After the last command: serves until every command has had a reply
    // line, "No Connect" has been shown, or nothing came for the time-out.
    bool AwaitReplies();

    SessionSeam& seam() { return seam_; }
    int sent() const { return sent_; }
    int answered() const { return answered_; }
    // True when every command got a reply and every message was "Success".
    bool AllAnswered() const;

private:
    void WritePort(const std::string& bytes) override;
    void ClosePort() override;
    // Handles one reply line or one time-out tick, waiting at most until.
    void PumpOnce(Clock::time_point until);

    PortOptions options_;
    SessionSeam seam_;
    ReplyQueue queue_;
    SerialLink link_;
    int sent_ = 0;
    int answered_ = 0;
    bool timerRunning_ = false;
    Clock::time_point nextTick_{};
    Clock::time_point lastActivity_{};
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// Set by SIGINT and SIGTERM during a session.
bool Interrupted();

}  // namespace kvt::cli
