// Connects to one of a host's addresses on a loop, as RFC 8305 describes:
// the first address is tried; while it has not answered, the next one
// starts kHeadStartMs later (at once when one fails), each with its own
// connect time; the first connection made wins and the others are closed.
// A dead first address thus costs the head start, not the connect time.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "loop/clock.h"
#include "serial/host_lookup.h"

namespace kvt {

class EventLoop;

class TcpConnector {
public:
    static constexpr Millis kHeadStartMs = 250;
    // The connected descriptor (non-blocking), or -1 and the errno of the
    // last failure (ETIMEDOUT when the last ones did not answer).
    using Done = std::function<void(int fd, int error)>;

    TcpConnector(EventLoop& loop, Millis connectTimeMs);
    ~TcpConnector();  // closes what is still connecting: done never comes
    TcpConnector(const TcpConnector&) = delete;
    TcpConnector& operator=(const TcpConnector&) = delete;

    // done comes later, on the loop's thread.
    void Start(std::vector<SocketAddress> addresses, Done done);

private:
    struct Attempt {
        int fd;
        Millis deadline;
    };

    void StartNext();
    void Connected(int fd);
    void Failed(int fd, int error);
    void Tick();
    void Arm();
    void Finish(int fd, int error);
    void CloseAttempt(size_t index);

    EventLoop& loop_;
    Millis connectTimeMs_;
    std::vector<SocketAddress> addresses_;
    size_t next_ = 0;
    Millis nextStart_ = 0;
    int lastError_ = ETIMEDOUT;
    std::vector<Attempt> attempts_;
    std::unique_ptr<Timer> timer_;
    Done done_;
};

}  // namespace kvt
