// Test helpers: sockets on 127.0.0.1, and a server that hangs up.
#pragma once

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace kvt::test {

// A socket bound to a free port of 127.0.0.1, listening with the backlog
// unless it is negative; *address is where it is bound.
inline int BindLoopback(int backlog, sockaddr_in* address) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    *address = sockaddr_in{};
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof *address;
    ::bind(fd, reinterpret_cast<sockaddr*>(address), size);
    if (backlog >= 0) ::listen(fd, backlog);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(address), &size);
    return fd;
}

// A socket listening on a free port of 127.0.0.1, closed with the object.
struct LoopbackListener {
    explicit LoopbackListener(int backlog) : fd(BindLoopback(backlog, &address)) {}
    ~LoopbackListener() { ::close(fd); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    int port() const { return ntohs(address.sin_port); }

    sockaddr_in address;
    int fd;
};

// A free port on 127.0.0.1 that nobody listens on.
inline int FreeLoopbackPort() {
    sockaddr_in address;
    ::close(BindLoopback(-1, &address));
    return ntohs(address.sin_port);
}

// A listening socket on 127.0.0.1 that never accepts, with its queue full:
// a further connection attempt goes unanswered.
class DeafServer {
public:
    DeafServer() {
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<const sockaddr*>(&listener_.address),
                      sizeof listener_.address);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~DeafServer() {
        for (int filler : fillers_) ::close(filler);
    }
    int port() const { return listener_.port(); }

private:
    LoopbackListener listener_{0};
    int fillers_[3] = {-1, -1, -1};
};

// A server on 127.0.0.1 that hangs up on every connection it takes once
// it has read what the client sent first, with `lastWords` in the very
// segment that hangs up (the client reads them with the hang-up already
// there). A hang-up is done when the client's system has acknowledged it;
// the connection is closed once the client has closed its end.
class HangUpServer {
public:
    explicit HangUpServer(std::string lastWords = "") {
        sockaddr_in address;
        listener_ = BindLoopback(8, &address);
        port_ = ntohs(address.sin_port);
        server_ = std::thread([this, lastWords] {
            for (int fd; (fd = ::accept(listener_, nullptr, nullptr)) >= 0;) {
                ++connections_;
                timeval wait{5, 0};  // a client that stays holds up no test
                ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
                char bytes[256];
                (void)!::read(fd, bytes, sizeof bytes);
                const int on = 1;  // the last words wait for the hang-up, to go with it
                ::setsockopt(fd, IPPROTO_TCP, TCP_CORK, &on, sizeof on);
                (void)!::write(fd, lastWords.data(), lastWords.size());
                ::shutdown(fd, SHUT_WR);
                for (int i = 0; i < 2000 && Unacknowledged(fd); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                while (::read(fd, bytes, sizeof bytes) > 0) {
                }
                ::close(fd);
            }
        });
    }
    ~HangUpServer() {
        ::shutdown(listener_, SHUT_RDWR);  // ends the accept
        server_.join();
        ::close(listener_);
    }
    std::string address(const std::string& scheme = "tcp") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_);
    }
    // The connections taken so far.
    int connections() const { return connections_; }

private:
    static bool Unacknowledged(int fd) {
        tcp_info info{};
        socklen_t size = sizeof info;
        return ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
               info.tcpi_state == TCP_FIN_WAIT1;
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::thread server_;
};

}  // namespace kvt::test
