#include "serial/tcp_connector.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "loop/event_loop.h"

namespace kvt {

TcpConnector::TcpConnector(EventLoop& loop, Millis connectTimeMs)
    : loop_(loop), connectTimeMs_(connectTimeMs), timer_(loop.NewTimer([this] { Tick(); })) {}

TcpConnector::~TcpConnector() {
    while (!attempts_.empty()) CloseAttempt(attempts_.size() - 1);
}

void TcpConnector::Start(std::vector<SocketAddress> addresses, Done done) {
    addresses_ = std::move(addresses);
    done_ = std::move(done);
    next_ = 0;
    lastError_ = ETIMEDOUT;
    // Even the first attempt starts from the loop: done never comes from
    // within Start.
    nextStart_ = loop_.Now();
    Arm();
}

void TcpConnector::StartNext() {
    // An address that fails at once hands over to the next at once.
    while (next_ < addresses_.size()) {
        const SocketAddress& a = addresses_[next_++];
        nextStart_ = loop_.Now() + kHeadStartMs;
        const int fd = ::socket(a.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastError_ = errno;
            continue;
        }
        // Connected at once or not, the loop tells: done never comes from
        // here.
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&a.address), a.size) != 0 &&
            errno != EINPROGRESS) {
            lastError_ = errno;
            ::close(fd);
            continue;
        }
        if (!loop_.Watch(fd, EPOLLOUT, [this, fd](std::uint32_t) {
                int error = 0;
                socklen_t size = sizeof error;
                if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
                if (error == 0)
                    Connected(fd);
                else
                    Failed(fd, error);
            })) {
            lastError_ = errno;
            ::close(fd);
            continue;
        }
        attempts_.push_back({fd, loop_.Now() + connectTimeMs_});
        return;
    }
}

void TcpConnector::CloseAttempt(size_t index) {
    loop_.Forget(attempts_[index].fd);
    ::close(attempts_[index].fd);
    attempts_.erase(attempts_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TcpConnector::Connected(int fd) {
    for (size_t i = attempts_.size(); i-- > 0;) {
        if (attempts_[i].fd == fd) {
            loop_.Forget(fd);
            attempts_.erase(attempts_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            CloseAttempt(i);
        }
    }
    Finish(fd, 0);
}

void TcpConnector::Failed(int fd, int error) {
    lastError_ = error;
    for (size_t i = 0; i < attempts_.size(); ++i)
        if (attempts_[i].fd == fd) CloseAttempt(i);
    nextStart_ = loop_.Now();
    Tick();
}

void TcpConnector::Tick() {
    const Millis now = loop_.Now();
    for (size_t i = attempts_.size(); i-- > 0;) {
        if (attempts_[i].deadline > now) continue;
        lastError_ = ETIMEDOUT;
        CloseAttempt(i);
        nextStart_ = now;
    }
    if (next_ < addresses_.size() && now >= nextStart_) StartNext();
    if (attempts_.empty() && next_ >= addresses_.size()) {
        Finish(-1, lastError_);
        return;
    }
    Arm();
}

void TcpConnector::Arm() {
    Millis wake = next_ < addresses_.size() ? nextStart_ : INT64_MAX;
    for (const Attempt& a : attempts_) wake = std::min(wake, a.deadline);
    if (wake == INT64_MAX) wake = loop_.Now();  // nothing left: Tick ends it
    timer_->StartAt(wake);
}

void TcpConnector::Finish(int fd, int error) {
    timer_->Stop();
    // done may destroy this connector: nothing of it is touched afterwards.
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(fd, error);
}

}  // namespace kvt
