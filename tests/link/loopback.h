// Test helper: sockets on 127.0.0.1.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

}  // namespace kvt::test
