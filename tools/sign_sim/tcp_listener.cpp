#include "tcp_listener.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/clipped.h"

namespace kvt::sim {

int ListenTcp(const std::string& hostPort, const std::string& option, const std::string& scheme,
              std::string* address, std::string* error) {
    const size_t colon = hostPort.rfind(':');
    if (colon == std::string::npos || colon + 1 == hostPort.size()) {
        *error = option + " needs HOST:PORT";
        return -1;
    }
    std::string host = hostPort.substr(0, colon);
    const std::string port = hostPort.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (int rc = ::getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &found)) {
        *error = "cannot listen on " + Clipped(hostPort) + ": " + ::gai_strerror(rc);
        return -1;
    }
    int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int on = 1;
    if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (fd < 0 || ::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
        *error = "cannot listen on " + Clipped(hostPort) + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        ::freeaddrinfo(found);
        return -1;
    }
    ::freeaddrinfo(found);
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
    char name[NI_MAXHOST], service[NI_MAXSERV];
    ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), size, name, sizeof name, service,
                  sizeof service, NI_NUMERICHOST | NI_NUMERICSERV);
    const bool v6 = bound.ss_family == AF_INET6;
    *address = scheme + (v6 ? "[" : "") + name + (v6 ? "]" : "") + ":" + service;
    return fd;
}

int AcceptClient(int listener) {
    int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return -1;
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

}  // namespace kvt::sim
