// The simulated sign's end of a pseudo-terminal, or (--tcp, --rfc2217) of a
// TCP connection as a serial device server would offer in raw TCP or in
// RFC 2217 mode: receives lines (framed on LF), answers them after the
// configured delay, optionally in two writes, and logs what it receives.
// With --line-rate every byte takes its time on the line both ways. Over TCP
// one client is served at a time; when it goes, the next one may connect.
#pragma once

#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rfc2217_server.h"
#include "sign_answers.h"
#include "sim_options.h"

namespace kvt::sim {

class SignLink {
public:
    // signs: the state of each slave number answered to (slave 0 alone
    // without --rs485).
    SignLink(const SimOptions& options, std::map<int, SignState>& signs)
        : options_(options), signs_(signs) {}
    ~SignLink();
    SignLink(const SignLink&) = delete;
    SignLink& operator=(const SignLink&) = delete;

    // Creates the pseudo-terminal or the listening socket (and --link,
    // --log). False with *error.
    bool Open(std::string* error);
    const std::string& devicePath() const { return devicePath_; }

    // Served by a loop (link_loop.h) that watches watchedFd() and calls
    // OnEvent when it is ready, and SendDue once nextDue() has come.
    using Clock = std::chrono::steady_clock;
    // The client's descriptor, or the listener's while none is connected.
    int watchedFd() const { return master_ >= 0 ? master_ : listener_; }
    // The watched descriptor is readable, or (readable false) hung up or
    // failed; false when the line cannot go on.
    bool OnEvent(bool readable);
    // When the next reply is due; Clock::time_point::max() when none is.
    Clock::time_point nextDue() const;
    // Sends the replies that are due.
    void SendDue();

    // What crossed the line so far: bytes received (flow control bytes
    // included) and sent, and the lines received.
    long bytesReceived() const { return bytesReceived_; }
    long bytesSent() const { return bytesSent_; }
    long linesReceived() const { return linesReceived_; }
    // --rfc2217: each line setting a client asked for, in order.
    const std::vector<std::string>& lineRequests() const { return lineRequests_; }
    // On a pseudo-terminal: the speed its line was set to (by whoever holds
    // its device) when the last line came, in bit/s; 0 before any line.
    long lineSpeed() const { return lineSpeed_; }

private:
    struct Pending {
        Clock::time_point due;
        std::string bytes;
        bool maySplit;
    };

    bool OpenPty(std::string* error);
    // The client went away (TCP): forget it and what was meant for it.
    void DropClient();
    void Receive();
    // The line was complete on the wire at `complete`.
    void HandleLine(const std::string& line, Clock::time_point complete);
    void Log(const std::string& line);
    // The sign's bytes, as they go on the connection.
    void WriteAll(const std::string& bytes);
    // Bytes on the connection as they are; false when they could not all go.
    bool WriteWire(const std::string& bytes);

    SimOptions options_;
    std::map<int, SignState>& signs_;
    std::string devicePath_;
    int master_ = -1;
    // The sign keeps its far end open too, so that a client closing it does
    // not hang up the master: the next client can simply open it again.
    int holder_ = -1;
    int listener_ = -1;  // --tcp, --rfc2217: the listening socket; master_ is the client
    std::unique_ptr<Rfc2217Server> telnet_;  // --rfc2217: the client's Telnet
    std::vector<std::string> lineRequests_;
    long lineSpeed_ = 0;
    std::FILE* log_ = nullptr;
    std::string received_;
    long linesReceived_ = 0;
    long bytesReceived_ = 0;
    long bytesSent_ = 0;
    std::deque<Pending> pending_;
    // --line-rate: when the receiving and the sending side of the line are
    // free again.
    Clock::time_point rxFree_{};
    Clock::time_point txFree_{};
};

}  // namespace kvt::sim
