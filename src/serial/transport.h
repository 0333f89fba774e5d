// What carries the bytes between the program and the sign: a serial device
// (tty_transport.h) or a serial device server on the network, in raw TCP
// mode (tcp_transport.h) or in RFC 2217 mode (rfc2217_transport.h). The link
// (serial_link.h) frames reply lines and runs its reader thread over any
// transport.
//
// A transport is a non-blocking descriptor the link can poll() for reading
// and writing, opened and configured in the transport's own way. A new kind
// of transport is one new file plus one line in MakeTransport.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

namespace kvt {

class EventLoop;

class Transport {
public:
    // Shows one failure message (a box in the window program).
    using Report = std::function<void(const std::string& text)>;
    // Whether the descriptor is usable.
    using Opened = std::function<void(bool usable)>;

    virtual ~Transport() = default;  // closes the descriptor

    // Opens and configures the connection, reporting each failing step.
    // True when the descriptor is usable.
    virtual bool Open(const Report& report) = 0;
    // Opens on the loop without holding it. done comes later, on the loop's
    // thread, once the transport no longer uses the loop for itself (its
    // descriptor is not watched). Destroying the transport before then
    // cancels the open: done never comes. The default runs Open in a task
    // of the loop, for a transport whose Open does not wait.
    virtual void OpenOn(EventLoop& loop, Report report, Opened done);
    // The open descriptor, non-blocking; -1 when not open. The link polls it
    // for reading and writing.
    virtual int fd() const = 0;
    // One non-blocking read or write, as read(2) and write(2) answer: Read
    // returns 0 only when the far end hung up, and Write the number of the
    // caller's bytes it took.
    virtual ssize_t Read(char* buffer, size_t size);
    virtual ssize_t Write(const char* bytes, size_t size);
    // Drops bytes received but not yet read (the reader is ending).
    virtual void DiscardInput() {}
    // What the user named: a device path, a network address.
    virtual const std::string& name() const = 0;
    // After a failed Open, one line saying what failed and why, for a
    // program that prints instead of showing boxes; "" when the one message
    // reported says it all.
    virtual std::string Failure() const { return ""; }
    // Whether the link, after the connection dropped, may open it again by
    // itself (a network connection) or not (a device that went away).
    virtual bool Reconnects() const { return false; }

protected:
    // Open for a transport that opens on a loop: OpenOn on a loop of its own,
    // waited for.
    bool OpenOnOwnLoop(const Report& report);
    // Held by what an open on a loop left for later: gone with the transport.
    std::weak_ptr<char> Alive() const { return alive_; }

private:
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// The transport for a device name as given in the profile or on the command
// line.
std::unique_ptr<Transport> MakeTransport(const std::string& device);

}  // namespace kvt
