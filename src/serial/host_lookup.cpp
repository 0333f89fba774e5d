#include "serial/host_lookup.h"

#include <netdb.h>
#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "loop/event_loop.h"

namespace kvt {

struct HostLookup::Request {
    std::string host;
    std::string port;
    std::mutex mutex;     // guards loop
    EventLoop* loop;      // nullptr once cancelled
    HostLookup::Done done;  // touched on the loop's thread only
};

namespace {

// Resolves host and port for a stream socket: the addresses, or the
// resolver's reason.
std::vector<SocketAddress> Resolve(const std::string& host, const std::string& port, int flags,
                                   int* rc) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    std::vector<SocketAddress> addresses;
    *rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (*rc != 0) return addresses;
    for (addrinfo* ai = found; ai; ai = ai->ai_next) {
        SocketAddress one;
        std::memcpy(&one.address, ai->ai_addr, ai->ai_addrlen);
        one.size = ai->ai_addrlen;
        one.family = ai->ai_family;
        addresses.push_back(one);
    }
    ::freeaddrinfo(found);
    return addresses;
}

// Hands the answer to the loop that asked, unless the lookup was cancelled.
void Answer(const std::shared_ptr<HostLookup::Request>& request,
            std::vector<SocketAddress> addresses, std::string error) {
    std::lock_guard<std::mutex> lock(request->mutex);
    if (!request->loop) return;
    request->loop->PostTask([request, addresses = std::move(addresses), error = std::move(error)] {
        {
            std::lock_guard<std::mutex> lock(request->mutex);
            if (!request->loop) return;
            request->loop = nullptr;
        }
        request->done(Interleaved(addresses), error);
    });
}

// The lookups waiting for a thread, and the threads at work. The threads
// are detached: a lookup that never ends holds up no exit.
class Lookups {
public:
    static Lookups& Instance() {
        static Lookups* lookups = new Lookups;  // outlives the threads
        return *lookups;
    }

    // False with the system's reason when no thread could be made.
    bool Add(std::shared_ptr<HostLookup::Request> request, std::string* error) {
        std::unique_lock<std::mutex> lock(mutex_);
        queue_.push_back(std::move(request));
        if (idle_ > 0) {
            wake_.notify_one();
            return true;
        }
        if (threads_ >= HostLookup::kLookupThreads) return true;
        try {
            std::thread(&Lookups::Work, this).detach();
            ++threads_;
        } catch (const std::system_error& e) {
            if (threads_ > 0) return true;  // another thread will get to it
            queue_.pop_back();
            *error = e.code().message();
            return false;
        }
        return true;
    }

private:
    void Work() {
        // Ctrl+C is for the program's own threads.
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            while (queue_.empty()) {
                ++idle_;
                const bool woken = wake_.wait_for(lock, std::chrono::seconds(10),
                                                  [this] { return !queue_.empty(); });
                --idle_;
                if (!woken) {
                    --threads_;
                    return;
                }
            }
            std::shared_ptr<HostLookup::Request> request = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            int rc = 0;
            std::vector<SocketAddress> addresses = Resolve(request->host, request->port, 0, &rc);
            Answer(request, std::move(addresses), rc == 0 ? "" : ::gai_strerror(rc));
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<HostLookup::Request>> queue_;
    int threads_ = 0;
    int idle_ = 0;
};

}  // namespace

std::vector<SocketAddress> Interleaved(std::vector<SocketAddress> addresses) {
    if (addresses.empty()) return addresses;
    std::vector<SocketAddress> first, other;
    for (const SocketAddress& a : addresses)
        (a.family == addresses.front().family ? first : other).push_back(a);
    std::vector<SocketAddress> turns;
    for (size_t i = 0; i < first.size() || i < other.size(); ++i) {
        if (i < first.size()) turns.push_back(first[i]);
        if (i < other.size()) turns.push_back(other[i]);
    }
    return turns;
}

HostLookup::~HostLookup() {
    if (!request_) return;
    std::lock_guard<std::mutex> lock(request_->mutex);
    request_->loop = nullptr;
}

void HostLookup::Start(EventLoop& loop, const std::string& host, const std::string& port,
                       Done done) {
    request_ = std::make_shared<Request>();
    request_->host = host;
    request_->port = port;
    request_->loop = &loop;
    request_->done = std::move(done);
    // An address written out needs no resolver: taken at once.
    int rc = 0;
    std::vector<SocketAddress> numeric = Resolve(host, port, AI_NUMERICHOST, &rc);
    if (rc == 0) {
        Answer(request_, std::move(numeric), "");
        return;
    }
    if (std::string error; !Lookups::Instance().Add(request_, &error))
        Answer(request_, {}, "cannot look the name up: " + error);
}

}  // namespace kvt
