#include "serial/tcp_transport.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "loop/event_loop.h"
#include "serial/link_error.h"
#include "serial/rfc2217_transport.h"
#include "text/clipped.h"

namespace kvt {

namespace {

// What the user typed, as a message quotes it.
std::string Quoted(const std::string& text) { return "\"" + Clipped(text) + "\""; }

// A port number 1..65535 in decimal.
bool IsPortNumber(const std::string& port) {
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::stol(port);
    return value >= 1 && value <= 65535;
}

// A server that goes silent is noticed while the link is idle (keep-alive
// probes) and while it leaves data unacknowledged (the user time-out); the
// connection then fails and the reader sees it.
void WatchForSilence(int fd) {
    int on = 1;
    int idle = TcpTransport::kKeepAliveIdleS;
    int interval = TcpTransport::kKeepAliveIntervalS;
    int probes = TcpTransport::kKeepAliveProbes;
    unsigned int userTimeoutMs = TcpTransport::kSilenceLimitS * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, sizeof userTimeoutMs);
}

}  // namespace

TcpTransport::~TcpTransport() {
    if (fd_ >= 0) ::close(fd_);
}

ssize_t TcpTransport::Write(const char* bytes, size_t size) {
    return ::send(fd_, bytes, size, MSG_NOSIGNAL);
}

bool TcpTransport::IsNetworkAddress(const std::string& name) {
    return name.find("://") != std::string::npos;
}

bool TcpTransport::Parse(const std::string& address, Address* parts, std::string* error) {
    const std::size_t separator = address.find("://");
    parts->scheme = separator == std::string::npos ? "" : address.substr(0, separator + 3);
    if (parts->scheme != kScheme && parts->scheme != Rfc2217Transport::kScheme) {
        *error = "Unknown kind of address " + Quoted(address) + " (use " + kScheme +
                 "HOST:PORT or " + Rfc2217Transport::kScheme + "HOST:PORT)";
        return false;
    }
    const std::string rest = address.substr(parts->scheme.size());
    // The port follows the last colon; an IPv6 host in brackets holds
    // colons of its own.
    const std::size_t bracket = rest.rfind(']');
    const std::size_t colon = rest.rfind(':');
    const bool hasPort = colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
    parts->host = hasPort ? rest.substr(0, colon) : rest;
    parts->port = hasPort ? rest.substr(colon + 1) : "";
    if (parts->host.size() >= 2 && parts->host.front() == '[' && parts->host.back() == ']')
        parts->host = parts->host.substr(1, parts->host.size() - 2);
    const std::string form = " (use " + parts->scheme + "HOST:PORT)";
    if (parts->port.empty()) {
        *error = "No port in the address " + Quoted(address) + form;
    } else if (parts->host.empty()) {
        *error = "No host in the address " + Quoted(address) + form;
    } else if (!IsPortNumber(parts->port)) {
        *error = "The port in the address " + Quoted(address) + " is not a number from 1 to 65535";
    } else {
        return true;
    }
    return false;
}

bool TcpTransport::Open(const Report& report) { return OpenOnOwnLoop(report); }

void TcpTransport::OpenOn(EventLoop& loop, Report report, Opened done) {
    Address parts;
    if (std::string wrong; !Parse(address_, &parts, &wrong)) {
        loop.PostTask([alive = Alive(), report, wrong, done] {
            if (alive.expired()) return;
            report(wrong);
            done(false);
        });
        return;
    }
    where_ = Clipped(parts.host) + " port " + parts.port;
    lookup_ = std::make_unique<HostLookup>();
    lookup_->Start(loop, parts.host, parts.port,
                   [this, &loop, report, done](std::vector<SocketAddress> addresses,
                                               const std::string& error) {
                       lookup_.reset();
                       if (!error.empty()) {
                           report("Cannot connect to " + where_ + ": " + error);
                           done(false);
                           return;
                       }
                       Connect(loop, addresses, report, done);
                   });
}

void TcpTransport::Connect(EventLoop& loop, const std::vector<SocketAddress>& addresses,
                           Report report, Opened done) {
    connector_ = std::make_unique<TcpConnector>(loop, kConnectTimeoutMs);
    connector_->Start(addresses, [this, report, done](int fd, int error) {
        // Done with the loop: the transport may outlive it (Open's own).
        connector_.reset();
        if (fd < 0) {
            report("Cannot connect to " + where_ + ": " + LinkErrorReason(error));
            done(false);
            return;
        }
        Connected(fd);
        done(true);
    });
}

void TcpTransport::Connected(int fd) {
    fd_ = fd;
    // Command lines are short and each one waits for its reply: send at once.
    int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    WatchForSilence(fd_);
}

}  // namespace kvt
