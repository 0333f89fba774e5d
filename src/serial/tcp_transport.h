// A serial device server on the network in its raw TCP mode, named
// "tcp://HOST:PORT" (an IPv6 address in brackets: "tcp://[::1]:4001"). The
// server's serial side has its own line settings; nothing is set from here.
// It is also the connection under the RFC 2217 transport, and the one
// parser of network addresses.
#pragma once

#include <memory>
#include <string>

#include "serial/host_lookup.h"
#include "serial/tcp_connector.h"
#include "serial/transport.h"

namespace kvt {

class TcpTransport : public Transport {
public:
    static constexpr const char* kScheme = "tcp://";
    static constexpr int kConnectTimeoutMs = 3000;
    // A server that goes silent without closing (rebooted, cable pulled) is
    // given up after 10 s of quiet and 3 keep-alive probes 5 s apart, and
    // data it does not acknowledge after as long (25 s).
    static constexpr int kKeepAliveIdleS = 10;
    static constexpr int kKeepAliveIntervalS = 5;
    static constexpr int kKeepAliveProbes = 3;
    static constexpr int kSilenceLimitS = kKeepAliveIdleS + kKeepAliveProbes * kKeepAliveIntervalS;

    explicit TcpTransport(std::string address) : address_(std::move(address)) {}
    ~TcpTransport() override;

    // Connects, each of the host's addresses within the time-out (see
    // tcp_connector.h); a failure reports one message naming the host, the
    // port and the system's reason, and an address that is not one reports
    // what is wrong with it. Open waits on a loop of its own.
    bool Open(const Report& report) override;
    void OpenOn(EventLoop& loop, Report report, Opened done) override;
    int fd() const override { return fd_; }
    // Never raises SIGPIPE when the server has gone: the write fails.
    ssize_t Write(const char* bytes, size_t size) override;
    const std::string& name() const override { return address_; }
    bool Reconnects() const override { return true; }
    // "HOST port PORT", as messages name the server (once Open has parsed
    // the address).
    const std::string& where() const { return where_; }

    struct Address {
        std::string scheme;  // "tcp://" or "rfc2217://"
        std::string host;    // without the brackets of an IPv6 address
        std::string port;
    };
    // Whether a device name is meant as a network address (it holds "://").
    static bool IsNetworkAddress(const std::string& name);
    // Splits "SCHEME://HOST:PORT" of a scheme we know; false with *error
    // saying what is wrong with it (an unknown scheme, no port or one out of
    // 1..65535, no host), what was typed quoted and cut short.
    static bool Parse(const std::string& address, Address* parts, std::string* error);

private:
    void Connect(EventLoop& loop, const std::vector<SocketAddress>& addresses, Report report,
                 Opened done);
    void Connected(int fd);

    std::string address_;
    std::string where_;
    int fd_ = -1;
    std::unique_ptr<HostLookup> lookup_;
    std::unique_ptr<TcpConnector> connector_;
};

}  // namespace kvt
