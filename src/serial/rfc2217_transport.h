// A serial device server on the network in RFC 2217 mode, named
// "rfc2217://HOST:PORT": Telnet with COM-PORT-OPTION over the TCP
// transport's connection, in which we set the server's serial line to the
// sign's settings (com_port_control.h) ourselves.
//
// Open connects, negotiates COM-PORT-OPTION, BINARY both ways and
// SUPPRESS-GO-AHEAD (refusing whatever else the server offers or asks
// for), sends the line settings and waits for the server to confirm them,
// all within kAnswerWaitMs. A server that refuses COM-PORT-OPTION, or that
// leaves a setting unconfirmed, gets one message and the link goes on.
// Afterwards Read hands over the data of each read with the Telnet taken
// out, answering negotiations as they come, and Write doubles 0xFF.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "loop/clock.h"
#include "serial/com_port_control.h"
#include "serial/tcp_transport.h"
#include "serial/telnet_codec.h"
#include "serial/transport.h"

namespace kvt {

class Rfc2217Transport : public Transport {
public:
    static constexpr const char* kScheme = "rfc2217://";
    // How long Open waits in all for the server's answers after connecting.
    static constexpr int kAnswerWaitMs = 1000;
    // Data held while the server has suspended our output; beyond it the
    // caller's bytes go nowhere, as after the write time-out.
    static constexpr std::size_t kMaxHeld = 65536;

    explicit Rfc2217Transport(std::string address, int answerWaitMs = kAnswerWaitMs)
        : tcp_(std::move(address)), answerWaitMs_(answerWaitMs) {}
    ~Rfc2217Transport() override;

    // Open waits on a loop of its own.
    bool Open(const Report& report) override;
    void OpenOn(EventLoop& loop, Report report, Opened done) override;
    int fd() const override { return tcp_.fd(); }
    // The data of one read of the connection. A read that held Telnet
    // alone answers -1 with EAGAIN, as a read that found nothing would.
    ssize_t Read(char* buffer, size_t size) override;
    // Takes bytes of data as the server will pass them on; the second half
    // of a doubled 0xFF that did not fit goes out first next time. While
    // the server has suspended our output (FLOWCONTROL-SUSPEND) the data is
    // held, and goes out when it resumes it.
    ssize_t Write(const char* bytes, size_t size) override;
    const std::string& name() const override { return tcp_.name(); }
    bool Reconnects() const override { return true; }
    bool suspended() const { return suspended_; }

private:
    enum class Phase { ComPort, Settings };

    // The negotiation on the loop, after connecting.
    void Negotiate(EventLoop& loop, Report report, Opened done);
    // Where the negotiation stands after the server's last answer (or at
    // the deadline, when out of time); ends it when it is over.
    void Advance(bool outOfTime);
    // Ends the negotiation: the loop is let go of, then done.
    void Negotiated(bool usable);
    // Reads and decodes once, answering what needs an answer; the data
    // bytes in buffer, or what read(2) answered.
    ssize_t ReadDecoded(char* buffer, size_t size);
    void Take(const telnet::Event& event);
    // Queues Telnet of our own and sends what it can now.
    void SendControl(const std::string& bytes);
    // Sends what is queued (and the held data unless suspended); true when
    // nothing is left. Under sendMutex_.
    bool FlushLocked();

    TcpTransport tcp_;
    int answerWaitMs_;
    // Used by the thread that reads: the negotiation's, then the link's.
    telnet::Decoder decoder_;
    telnet::Negotiator negotiator_;
    ComPortControl control_;
    // Negotiation answers (the reader) and data (the link's writer) share
    // the connection: one writer at a time, and what could not be sent at
    // once waits here, ahead of further data.
    std::mutex sendMutex_;
    std::string unsent_;
    std::string held_;  // escaped data held while suspended
    std::atomic<bool> suspended_{false};

    // While negotiating on a loop.
    struct Negotiation {
        EventLoop* loop;
        Report report;
        Opened done;
        Phase phase = Phase::ComPort;
        std::unique_ptr<Timer> deadline;
    };
    std::unique_ptr<Negotiation> negotiation_;
};

}  // namespace kvt
