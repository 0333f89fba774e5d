// The one connection to the sign, over a transport (transport.h).
//
// A link runs in one of two ways. On a reader thread: OpenPort opens the
// transport for a device name; StartReadThread starts the reader, which
// waits with poll() on the transport and a wake-up pipe, frames reply lines
// (a line ends when a read ends in LF; CR LF stays on it) and hands each
// complete line to the consumer; CloseLink wakes and joins the reader and
// closes everything. Or on an event loop (OpenOn): opening, reading and
// writing are events of the loop, none of which waits, and the consumer is
// called on the loop's thread; no thread and no wake-up pipe of its own. A device that goes away puts the link in the
// Failed state, in which it waits without using the CPU and writes go
// nowhere. A network connection that drops is Failed too, but the next write
// connects again (one try each time, within the connect time-out). Failures
// are reported through the error sink (the session shows them as the link's
// error boxes).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "loop/clock.h"
#include "serial/command_port.h"
#include "serial/line_framer.h"
#include "serial/trace.h"
#include "serial/transport.h"

namespace kvt {

class EventLoop;

class SerialLink : public CommandPort {
public:
    // Called on the reader thread with each complete line; it must return
    // quickly (queue the line) and never block.
    using LineConsumer = std::function<void(const std::string& line)>;
    // Shows one of the link's error messages; called on the thread that
    // opens the link.
    using ErrorSink = std::function<void(const std::string& text)>;

    enum class State { Closed, Open, Failed };

    SerialLink();
    ~SerialLink() override;  // CloseLink
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    void SetConsumer(LineConsumer consumer) { consumer_ = std::move(consumer); }
    void SetErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    // Lines sent and received are also recorded there (nullptr: no trace).
    // Set while the reader is not running.
    void SetTrace(Trace* trace) { trace_ = trace; }
    // Whether a dropped network connection is opened again at the next
    // write (the default). A program that drives many links from one
    // thread turns it off: a write must not wait for a connect there, and
    // the link stays failed. Set while the reader is not running.
    void SetReconnect(bool allowed) { reconnectAllowed_ = allowed; }

    // Opens the transport for the device name; each failing step reports
    // its message (see the transport) and leaves the link Failed.
    void OpenPort(const std::string& device);
    // Returns once the reader has taken a first look at the port, so that
    // a hang-up that came before the start, with nothing before it to
    // read, already shows in state().
    void StartReadThread();
    // Opens the transport on the loop, then runs the link on it: done() on
    // the loop's thread once the link is open or failed (state() tells).
    // CloseLink before then cancels the open, and done never comes.
    void OpenOn(EventLoop& loop, const std::string& device, std::function<void()> done);
    // Closes the port (and cancels an open under way); the link can be
    // opened again.
    void CloseLink();

    // CommandPort: write with a 1000 ms time-out (after connecting again
    // when a network connection dropped); close after a port error. On a
    // loop the bytes the transport cannot take at once wait for it there,
    // within the time-out.
    void WritePort(const std::string& bytes) override;
    void ClosePort() override;

    State state() const { return state_.load(); }
    const std::string& devicePath() const { return devicePath_; }
    // The transport's one line on why the last OpenPort failed (see
    // Transport::Failure); "" when it did not or its message says it.
    const std::string& openFailure() const { return openFailure_; }

private:
    // The open transport, shared so that a thread still using it (a write,
    // the reader's poll) keeps the descriptor from being closed and reused
    // under it; the last holder closes it.
    using PortPtr = std::shared_ptr<Transport>;

    PortPtr CurrentPort() const;
    void SetPort(PortPtr port);
    void Report(const std::string& text);
    void Wake();
    void DrainWake();
    void MakeWakePipe();
    void CloseWakePipe();
    // Fulfils lookedOnce after its first look at the port.
    void ReadThreadProc(std::promise<void> lookedOnce);
    // Handles what poll() reported on the port; false when the device is
    // gone (hang-up, EIO).
    bool ReadOnce(Transport& port, short revents);
    // The reader found the port gone.
    void Dropped(const Transport& port);
    // Opens the dropped network connection again; its messages go nowhere
    // (the command's missing reply tells). nullptr when it failed.
    PortPtr Reconnect();

    // On a loop: watch the port, write what waits when it has room.
    void WatchOnLoop(const PortPtr& port);
    void PortReady(std::uint32_t events);
    void WriteOnLoop(Transport& port, const std::string& bytes);
    void FlushOutbox(Transport& port);

    LineConsumer consumer_;
    ErrorSink errorSink_;
    std::string devicePath_;
    std::string openFailure_;
    mutable std::mutex portMutex_;  // guards port_
    PortPtr port_;
    std::mutex writeMutex_;         // one write at a time
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread reader_;
    std::atomic<bool> readThreadRun_{false};
    std::atomic<State> state_{State::Closed};
    std::atomic<bool> reconnect_{false};  // the next write connects again
    bool reconnectAllowed_ = true;
    LineFramer framer_;  // touched by the reader only while it runs
    Trace* trace_ = nullptr;

    // On a loop (all touched on the loop's thread only).
    EventLoop* loop_ = nullptr;
    PortPtr opening_;    // the transport being opened
    int watched_ = -1;   // the descriptor the loop watches
    bool waitingForRoom_ = false;  // watched for writing too
    std::string outbox_;  // written bytes the transport has not taken yet
    std::unique_ptr<Timer> writeTimer_;  // drops the outbox at the time-out
};

}  // namespace kvt
