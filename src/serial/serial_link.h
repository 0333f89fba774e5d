// The one serial connection to the sign, over POSIX termios.
//
// OpenPort configures the port (38400 bit/s, 8 data bits, even parity on
// output, 1 stop bit, raw, RTS/CTS and XON/XOFF); StartReadThread starts the
// reader, which waits with poll() on the port and a wake-up pipe, frames
// reply lines (a line ends when a read ends in LF; CR LF stays on it) and
// hands each complete line to the consumer. CloseLink wakes and joins the
// reader and closes everything. Failures go through PortErrorBox.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "serial/command_port.h"
#include "serial/line_framer.h"

namespace kvt {

class SerialLink : public CommandPort {
public:
    // Called on the reader thread with each complete line; it must return
    // quickly (queue the line) and never block.
    using LineConsumer = std::function<void(const std::string& line)>;

    enum class State { Closed, Open, Failed };

    explicit SerialLink(LineConsumer consumer);
    ~SerialLink() override;  // CloseLink
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens and configures devicePath. Each failing step shows its message
    // through PortErrorBox and the later steps still run, so a missing port
    // gives "Miss! File Open", "Miss! Mask Set", "Miss! Buffer Set",
    // "Miss! Time Out Set", "Miss! Set Comm State" in that order.
    void OpenPort(const std::string& devicePath);
    void StartReadThread();
    void CloseLink();

    // The link's error box: shown, then the port is closed (Failed state).
    void PortErrorBox(const std::string& text);

    // CommandPort: write with a 1000 ms time-out; close after a port error.
    void WritePort(const std::string& bytes) override;
    void ClosePort() override;

    State state() const { return state_.load(); }
    const std::string& devicePath() const { return devicePath_; }

private:
    // The open port. Shared so that a thread still using it (a write, the
    // reader's poll) keeps the descriptor from being closed and reused under
    // it; the last holder closes it.
    struct PortFd {
        explicit PortFd(int f) : fd(f) {}
        ~PortFd();
        int fd;
    };
    using PortPtr = std::shared_ptr<PortFd>;

    PortPtr CurrentPort() const;
    void SetPort(PortPtr port);
    void Wake();
    void DrainWake();
    void MakeWakePipe();
    void CloseWakePipe();
    void ReadThreadProc();
    // Handles what poll() reported on the port; false when the device is
    // gone (hang-up, EIO).
    bool ReadOnce(int fd, short revents);
    void ReportPermission(const std::string& devicePath);

    LineConsumer consumer_;
    std::string devicePath_;
    mutable std::mutex portMutex_;  // guards port_
    PortPtr port_;
    std::mutex writeMutex_;         // one write at a time
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread reader_;
    std::atomic<bool> readThreadRun_{false};
    std::atomic<State> state_{State::Closed};
    LineFramer framer_;  // touched by the reader only while it runs
};

}  // namespace kvt
