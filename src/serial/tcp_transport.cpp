#include "serial/tcp_transport.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "text/clipped.h"

namespace kvt {

namespace {

// Connects one resolved address without blocking beyond the deadline.
// Returns the connected descriptor, or -1 with errno set.
int ConnectBefore(const addrinfo& ai, std::chrono::steady_clock::time_point deadline) {
    int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) return -1;
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return fd;
    if (errno != EINPROGRESS) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd out{fd, POLLOUT, 0};
        const int ready = left.count() > 0 ? ::poll(&out, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) continue;
        int error = ready > 0 ? 0 : (ready == 0 ? ETIMEDOUT : errno);
        socklen_t size = sizeof error;
        if (ready > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
        if (error == 0) return fd;
        ::close(fd);
        errno = error;
        return -1;
    }
}

}  // namespace

TcpTransport::~TcpTransport() {
    if (fd_ >= 0) ::close(fd_);
}

ssize_t TcpTransport::Write(const char* bytes, size_t size) {
    return ::send(fd_, bytes, size, MSG_NOSIGNAL);
}

bool TcpTransport::Parse(const std::string& address, std::string* host, std::string* port) {
    const std::string scheme = kScheme;
    if (address.compare(0, scheme.size(), scheme) != 0) return false;
    const std::string rest = address.substr(scheme.size());
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == rest.size()) return false;
    *host = rest.substr(0, colon);
    *port = rest.substr(colon + 1);
    if (host->size() > 2 && host->front() == '[' && host->back() == ']')
        *host = host->substr(1, host->size() - 2);
    return port->find_first_not_of("0123456789") == std::string::npos;
}

bool TcpTransport::Open(const Report& report) {
    std::string host, port;
    if (!Parse(address_, &host, &port)) {
        report("Not a network address: " + Clipped(address_) + " (use tcp://HOST:PORT)");
        return false;
    }
    const std::string where = Clipped(host) + " port " + Clipped(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        report("Cannot connect to " + where + ": " + ::gai_strerror(rc));
        return false;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
    int error = ETIMEDOUT;
    for (addrinfo* ai = found; ai && fd_ < 0; ai = ai->ai_next) {
        fd_ = ConnectBefore(*ai, deadline);
        if (fd_ < 0) error = errno;
    }
    ::freeaddrinfo(found);
    if (fd_ < 0) {
        report("Cannot connect to " + where + ": " +
               (error == ETIMEDOUT ? std::string("no answer within 3 s") : std::strerror(error)));
        return false;
    }
    // Command lines are short and each one waits for its reply: send at once.
    int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    return true;
}

}  // namespace kvt
