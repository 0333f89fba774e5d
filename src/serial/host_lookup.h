// Name lookups that never hold a loop: a numeric address is taken at once;
// a host name is looked up by one of at most kLookupThreads threads of the
// process, and the answer is handed to the loop that asked.
#pragma once

#include <sys/socket.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvt {

class EventLoop;

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t size = 0;
    int family = 0;
};

class HostLookup {
public:
    static constexpr int kLookupThreads = 2;
    // The addresses in the order to try them, or "" and the resolver's
    // reason (gai_strerror) in error.
    using Done = std::function<void(std::vector<SocketAddress> addresses, const std::string& error)>;

    HostLookup() = default;
    ~HostLookup();  // cancels: done never comes
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // done comes later, on the loop's thread.
    void Start(EventLoop& loop, const std::string& host, const std::string& port, Done done);

    struct Request;

private:
    std::shared_ptr<Request> request_;
};

// The addresses in the order RFC 8305 tries them: the families taking turns,
// starting with the family of the first.
std::vector<SocketAddress> Interleaved(std::vector<SocketAddress> addresses);

}  // namespace kvt
