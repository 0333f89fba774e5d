#include "link_loop.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <queue>
#include <utility>

namespace kvt::sim {

namespace {

using Clock = SignLink::Clock;

class LinkLoop {
public:
    explicit LinkLoop(const std::vector<SignLink*>& links)
        : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
        for (SignLink* link : links) watches_.push_back({link, -1, Clock::time_point::max()});
    }
    ~LinkLoop() {
        if (epoll_ >= 0) ::close(epoll_);
    }

    void Run(int stopFd) {
        if (epoll_ < 0 || !Add(stopFd, kStop)) {
            std::fprintf(stderr, "kvt540m-sign-sim: cannot wait for the lines: %s\n",
                         std::strerror(errno));
            return;
        }
        for (size_t i = 0; i < watches_.size(); ++i)
            if (!Rewatch(i)) return;
        epoll_event events[64];
        for (;;) {
            const int ready = ::epoll_wait(epoll_, events, 64, TimeoutMs());
            if (ready < 0 && errno != EINTR) return;
            for (int e = 0; e < ready; ++e) {
                if (events[e].data.u64 == kStop) return;
                const size_t i = events[e].data.u64 - 1;
                if (!watches_[i].link->OnEvent(events[e].events & EPOLLIN)) return;
                watches_[i].link->SendDue();
                if (!Rewatch(i)) return;
                Rearm(i);
            }
            SendDueReplies();
        }
    }

private:
    static constexpr uint64_t kStop = 0;  // a link's key is its index + 1

    struct Watch {
        SignLink* link;
        int fd;  // the descriptor registered for it
        Clock::time_point armed;  // its earliest time on the heap
    };

    bool Add(int fd, uint64_t key) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = key;
        return ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) == 0;
    }

    // Watches the descriptor the link waits on now (the listener's while
    // no client is connected). A closed one has left epoll by itself.
    bool Rewatch(size_t i) {
        Watch& w = watches_[i];
        const int fd = w.link->watchedFd();
        if (fd == w.fd) return true;
        if (w.fd >= 0) ::epoll_ctl(epoll_, EPOLL_CTL_DEL, w.fd, nullptr);
        w.fd = fd;
        if (fd < 0 || Add(fd, i + 1)) return true;
        std::fprintf(stderr, "kvt540m-sign-sim: cannot watch %s: %s\n",
                     w.link->devicePath().c_str(), std::strerror(errno));
        return false;
    }

    // Puts the link's next reply on the heap unless an earlier time is
    // there already (that one finds out what is due when it comes).
    void Rearm(size_t i) {
        Watch& w = watches_[i];
        const Clock::time_point due = w.link->nextDue();
        if (due >= w.armed) return;
        w.armed = due;
        due_.push({due, i});
    }

    void SendDueReplies() {
        const Clock::time_point now = Clock::now();
        while (!due_.empty() && due_.top().first <= now) {
            const auto [when, i] = due_.top();
            due_.pop();
            if (when != watches_[i].armed) continue;  // superseded by an earlier time
            watches_[i].armed = Clock::time_point::max();
            watches_[i].link->SendDue();
            Rearm(i);
        }
    }

    int TimeoutMs() const {
        if (due_.empty()) return -1;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(due_.top().first - Clock::now());
        return left.count() < 0 ? 0 : static_cast<int>(left.count());
    }

    int epoll_;
    std::vector<Watch> watches_;
    using Due = std::pair<Clock::time_point, size_t>;
    std::priority_queue<Due, std::vector<Due>, std::greater<Due>> due_;
};

}  // namespace

void ServeLinks(const std::vector<SignLink*>& links, int stopFd) { LinkLoop(links).Run(stopFd); }

}  // namespace kvt::sim
