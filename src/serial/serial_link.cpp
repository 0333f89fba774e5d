#include "serial/serial_link.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include "loop/event_loop.h"

namespace kvt {

namespace {

constexpr std::size_t kReadChunk = 500;
constexpr auto kWriteTimeout = std::chrono::milliseconds(1000);

}  // namespace

SerialLink::SerialLink() = default;

SerialLink::~SerialLink() {
    CloseLink();
    CloseWakePipe();
}

SerialLink::PortPtr SerialLink::CurrentPort() const {
    std::lock_guard<std::mutex> lock(portMutex_);
    return port_;
}

void SerialLink::SetPort(PortPtr port) {
    PortPtr old;
    {
        std::lock_guard<std::mutex> lock(portMutex_);
        old = std::exchange(port_, port);
    }
    if (loop_) {
        WatchOnLoop(port);
        return;
    }
    // The reader may still hold the old port in its poll: wake it so that
    // it lets go and the descriptor gets closed now.
    Wake();
}

void SerialLink::WatchOnLoop(const PortPtr& port) {
    if (watched_ >= 0) loop_->Forget(watched_);
    watched_ = -1;
    waitingForRoom_ = false;
    outbox_.clear();
    if (writeTimer_) writeTimer_->Stop();
    if (!port) return;
    if (loop_->Watch(port->fd(), EPOLLIN, [this](std::uint32_t events) { PortReady(events); })) {
        watched_ = port->fd();
        return;
    }
    Report(std::string("error creating read thread: ") + std::strerror(errno));
    state_ = State::Failed;
    std::lock_guard<std::mutex> lock(portMutex_);
    port_.reset();
}

void SerialLink::OpenOn(EventLoop& loop, const std::string& device, std::function<void()> done) {
    CloseLink();
    loop_ = &loop;
    devicePath_ = device;
    framer_.Clear();
    writeTimer_ = loop.NewTimer([this] {
        // The transport took nothing for the whole time-out: dropped.
        outbox_.clear();
        if (watched_ >= 0) loop_->Change(watched_, EPOLLIN);
        waitingForRoom_ = false;
    });
    opening_ = MakeTransport(device);
    opening_->OpenOn(loop, [this](const std::string& text) { Report(text); },
                     [this, done](bool usable) {
                         PortPtr port = std::move(opening_);
                         if (usable) {
                             openFailure_.clear();
                             state_ = State::Open;
                             SetPort(port);
                         } else {
                             openFailure_ = port->Failure();
                             ClosePort();
                             // Still at work in this call: let go of it later.
                             loop_->PostTask([port] {});
                         }
                         done();
                     });
}

void SerialLink::PortReady(std::uint32_t events) {
    PortPtr port = CurrentPort();
    if (!port) return;
    if (events & EPOLLOUT) FlushOutbox(*port);
    if ((events & (EPOLLIN | EPOLLHUP | EPOLLERR)) && !ReadOnce(*port, static_cast<short>(events)))
        Dropped(*port);
}

void SerialLink::WriteOnLoop(Transport& port, const std::string& bytes) {
    const bool waiting = !outbox_.empty();
    outbox_ += bytes;
    if (!waiting) FlushOutbox(port);
}

void SerialLink::FlushOutbox(Transport& port) {
    while (!outbox_.empty()) {
        const ssize_t n = port.Write(outbox_.data(), outbox_.size());
        if (n > 0) {
            outbox_.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        outbox_.clear();  // the port failed: the reader sees to it
    }
    // Room is waited for while bytes wait, and only then.
    const bool waitForRoom = !outbox_.empty();
    if (watched_ >= 0 && waitForRoom != waitingForRoom_) {
        loop_->Change(watched_, waitForRoom ? EPOLLIN | EPOLLOUT : EPOLLIN);
        waitingForRoom_ = waitForRoom;
    }
    if (outbox_.empty())
        writeTimer_->Stop();
    else
        writeTimer_->StartAt(loop_->Now() + kWriteTimeout.count());
}

void SerialLink::MakeWakePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // StartReadThread reports it
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
}

void SerialLink::CloseWakePipe() {
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
}

void SerialLink::Wake() {
    if (wakeWrite_ < 0) return;
    char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost.
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
}

void SerialLink::DrainWake() {
    char sink[64];
    while (::read(wakeRead_, sink, sizeof sink) > 0) {
    }
}

void SerialLink::Report(const std::string& text) {
    if (errorSink_) errorSink_(text);
}

void SerialLink::OpenPort(const std::string& device) {
    devicePath_ = device;
    reconnect_ = false;
    PortPtr port = MakeTransport(device);
    if (port->Open([this](const std::string& text) { Report(text); })) {
        openFailure_.clear();
        SetPort(std::move(port));
        state_ = State::Open;
    } else {
        openFailure_ = port->Failure();
        ClosePort();
    }
}

void SerialLink::StartReadThread() {
    if (reader_.joinable()) return;
    if (wakeRead_ < 0) MakeWakePipe();
    if (wakeRead_ < 0) {
        Report("error creating read thread");
        ClosePort();
        return;
    }
    // Drop stale wake-ups, and start with an empty line: bytes of a line
    // cut off by the last CloseLink are not glued to the next reply.
    DrainWake();
    framer_.Clear();
    readThreadRun_ = true;
    std::promise<void> looked;
    std::future<void> lookedOnce = looked.get_future();
    try {
        reader_ = std::thread(&SerialLink::ReadThreadProc, this, std::move(looked));
    } catch (const std::system_error&) {
        readThreadRun_ = false;
        Report("error creating read thread");
        ClosePort();
        return;
    }
    lookedOnce.wait();
}

void SerialLink::ReadThreadProc(std::promise<void> lookedOnce) {
    bool first = true;
    while (readThreadRun_) {
        // Without a port (Failed) the reader waits on the wake pipe alone;
        // the first look, which the starter waits for, does not wait.
        PortPtr port = CurrentPort();
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {port ? port->fd() : -1, POLLIN, 0}};
        int ready = ::poll(fds, port ? 2 : 1, first ? 0 : -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;  // cannot wait at all: end rather than spin
        }
        if (fds[0].revents) DrainWake();
        if (!readThreadRun_) break;
        if (port && fds[1].revents && !ReadOnce(*port, fds[1].revents)) Dropped(*port);
        if (std::exchange(first, false)) lookedOnce.set_value();
    }
    if (first) lookedOnce.set_value();
    // Discard what the driver still holds: it belongs to no one any more.
    if (PortPtr port = CurrentPort()) port->DiscardInput();
}

bool SerialLink::ReadOnce(Transport& port, short revents) {
    if (revents & POLLIN) {
        char chunk[kReadChunk];
        ssize_t n = port.Read(chunk, sizeof chunk);
        if (n > 0) {
            std::string line;
            if (framer_.Feed(chunk, static_cast<std::size_t>(n), &line)) {
                if (trace_) trace_->Record(Trace::Direction::Received, devicePath_, line);
                consumer_(line);
            }
            return true;
        }
        if (n == 0) return false;  // hung up
        if (errno != EAGAIN && errno != EINTR) return false;  // EIO: the far end is gone
    }
    return !(revents & (POLLHUP | POLLERR | POLLNVAL));
}

void SerialLink::Dropped(const Transport& port) {
    // A line cut off by the drop is not glued to what the next connection
    // brings.
    framer_.Clear();
    ClosePort();
    reconnect_ = reconnectAllowed_ && port.Reconnects();
}

SerialLink::PortPtr SerialLink::Reconnect() {
    PortPtr port = MakeTransport(devicePath_);
    if (!port->Open([](const std::string&) {})) return nullptr;
    // Open before the reader can see the port, so that a drop it finds at
    // once is not overwritten.
    reconnect_ = false;
    state_ = State::Open;
    SetPort(port);
    return port;
}

void SerialLink::CloseLink() {
    readThreadRun_ = false;
    if (reader_.joinable()) {
        Wake();
        reader_.join();
    }
    opening_.reset();  // an open under way is cancelled
    SetPort(nullptr);
    writeTimer_.reset();
    loop_ = nullptr;
    reconnect_ = false;
    state_ = State::Closed;
}

void SerialLink::ClosePort() {
    state_ = State::Failed;
    reconnect_ = false;
    SetPort(nullptr);
}

void SerialLink::WritePort(const std::string& bytes) {
    PortPtr port = CurrentPort();
    if (!port && reconnect_) port = Reconnect();
    if (!port) return;
    if (trace_) trace_->Record(Trace::Direction::Sent, devicePath_, bytes);
    if (loop_) {
        WriteOnLoop(*port, bytes);
        return;
    }
    std::lock_guard<std::mutex> lock(writeMutex_);
    const auto deadline = std::chrono::steady_clock::now() + kWriteTimeout;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = port->Write(bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return;
        // The driver's queue is full (flow control): wait for room, but
        // never beyond the write time-out. What is left is dropped.
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd out{port->fd(), POLLOUT, 0};
        int ready = ::poll(&out, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return;
        if (ready > 0 && (out.revents & (POLLERR | POLLHUP | POLLNVAL))) return;
    }
}

}  // namespace kvt
