// A serial device server on the network in its raw TCP mode, named
// "tcp://HOST:PORT" (an IPv6 address in brackets: "tcp://[::1]:4001"). The
// server's serial side has its own line settings; nothing is set from here.
#pragma once

#include <string>

#include "serial/transport.h"

namespace kvt {

class TcpTransport : public Transport {
public:
    static constexpr const char* kScheme = "tcp://";
    static constexpr int kConnectTimeoutMs = 3000;

    explicit TcpTransport(std::string address) : address_(std::move(address)) {}
    ~TcpTransport() override;

    // Connects within the time-out; a failure reports one message naming
    // the host, the port and the system's reason.
    bool Open(const Report& report) override;
    int fd() const override { return fd_; }
    // Never raises SIGPIPE when the server has gone: the write fails.
    ssize_t Write(const char* bytes, size_t size) override;
    const std::string& name() const override { return address_; }

    // Splits "tcp://HOST:PORT"; false when it is not of that form.
    static bool Parse(const std::string& address, std::string* host, std::string* port);

private:
    std::string address_;
    int fd_ = -1;
};

}  // namespace kvt
