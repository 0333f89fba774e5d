#include "serial/serial_link.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <utility>
#include <vector>

#include "serial/message_box.h"

namespace kvt {

namespace {

constexpr std::size_t kReadChunk = 500;
constexpr auto kWriteTimeout = std::chrono::milliseconds(1000);

// The steps of configuring an open port, each one a box of its own when it
// fails. On a closed port (fd -1) each fails with EBADF.

// Nobody else may open the port while we hold it.
bool ClaimExclusive(int fd) { return ::ioctl(fd, TIOCEXCL) == 0; }

// Start with empty driver queues in both directions.
bool FlushQueues(int fd) { return ::tcflush(fd, TCIOFLUSH) == 0; }

// Reads return at once with what has arrived; writes are bounded by the
// write time-out in WritePort.
bool SetNonBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// DTR stays raised for as long as the port is open: Linux has no DTR input
// handshake, and the sign only needs to see the host ready. A pty answers
// the modem-line ioctls with ENOTTY or EINVAL, which is no failure.
bool RaiseDtr(int fd) {
    int bits = TIOCM_DTR;
    if (::ioctl(fd, TIOCMBIS, &bits) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

// Whether the driver holds the wanted settings. Of the hardware flags only
// the framing must match: drivers drop what they cannot do (a pty drops
// PARENB, some adapters CRTSCTS) and the line still works.
bool SameSettings(const termios& wanted, const termios& now) {
    const tcflag_t cflagMask = CSIZE | CSTOPB | CREAD;
    return ::cfgetospeed(&now) == ::cfgetospeed(&wanted) &&
           ::cfgetispeed(&now) == ::cfgetispeed(&wanted) && now.c_iflag == wanted.c_iflag &&
           now.c_oflag == wanted.c_oflag && now.c_lflag == wanted.c_lflag &&
           (now.c_cflag & cflagMask) == (wanted.c_cflag & cflagMask) &&
           now.c_cc[VMIN] == wanted.c_cc[VMIN] && now.c_cc[VTIME] == wanted.c_cc[VTIME] &&
           now.c_cc[VSTART] == wanted.c_cc[VSTART] && now.c_cc[VSTOP] == wanted.c_cc[VSTOP];
}

// 38400 bit/s, 8 data bits, even parity generated but not checked, 1 stop
// bit, raw both ways, RTS/CTS and XON/XOFF flow control. A pty drops PARENB
// silently; that is accepted.
bool ApplyLineSettings(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARODD);
    tio.c_cflag |= CS8 | PARENB | CREAD | CLOCAL | CRTSCTS | HUPCL;
    tio.c_iflag &= ~(INPCK | PARMRK | ISTRIP | IXANY);
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    // A read waits for one byte at most (and never, the port being
    // non-blocking), so read() == 0 means the device hung up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B38400) != 0 || ::cfsetospeed(&tio, B38400) != 0) return false;
    // glibc answers EINVAL when the driver dropped PARENB (a pty does), and
    // tcsetattr succeeds when any part was applied: judge by what the
    // driver now holds.
    if (::tcsetattr(fd, TCSANOW, &tio) != 0 && errno != EINVAL) return false;
    termios now{};
    return ::tcgetattr(fd, &now) == 0 && SameSettings(tio, now) && RaiseDtr(fd);
}

std::string GroupName(gid_t gid) {
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return std::to_string(gid);
    }
    return found->gr_name;
}

}  // namespace

SerialLink::PortFd::~PortFd() {
    ::ioctl(fd, TIOCNXCL);  // let the next program open it
    ::close(fd);
}

SerialLink::SerialLink(LineConsumer consumer) : consumer_(std::move(consumer)) {
    MakeWakePipe();
}

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
        old = std::exchange(port_, std::move(port));
    }
    // The reader may still hold the old port in its poll: wake it so that
    // it lets go and the descriptor gets closed now.
    Wake();
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

void SerialLink::OpenPort(const std::string& devicePath) {
    devicePath_ = devicePath;
    int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int openErrno = fd < 0 ? errno : 0;
    if (fd >= 0) {
        SetPort(std::make_shared<PortFd>(fd));
    } else {
        PortErrorBox("Miss! File Open");
    }

    struct Step {
        const char* message;
        bool (*apply)(int fd);
    };
    static const Step kSteps[] = {
        {"Miss! Mask Set", ClaimExclusive},
        {"Miss! Buffer Set", FlushQueues},
        {"Miss! Time Out Set", SetNonBlocking},
        {"Miss! Set Comm State", ApplyLineSettings},
    };
    for (const Step& step : kSteps) {
        PortPtr port = CurrentPort();
        if (!port || !step.apply(port->fd)) PortErrorBox(step.message);
    }
    if (openErrno == EACCES) ReportPermission(devicePath);
    if (CurrentPort()) state_ = State::Open;
}

void SerialLink::ReportPermission(const std::string& devicePath) {
    std::string text = "Permission denied: " + devicePath + ". ";
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) == 0) {
        text += "Your user must be in the group \"" + GroupName(info.st_gid) +
                "\", which owns the device (then log in again).";
    } else {
        text += "Your user must be allowed to read and write the device.";
    }
    PortErrorBox(text);
}

void SerialLink::StartReadThread() {
    if (reader_.joinable()) return;
    if (wakeRead_ < 0) {
        PortErrorBox("error creating read thread");
        return;
    }
    // Drop stale wake-ups, and start with an empty line: bytes of a line
    // cut off by the last CloseLink are not glued to the next reply.
    DrainWake();
    framer_.Clear();
    readThreadRun_ = true;
    try {
        reader_ = std::thread(&SerialLink::ReadThreadProc, this);
    } catch (const std::system_error&) {
        readThreadRun_ = false;
        PortErrorBox("error creating read thread");
    }
}

void SerialLink::ReadThreadProc() {
    while (readThreadRun_) {
        // Without a port (Failed) the reader waits on the wake pipe alone.
        PortPtr port = CurrentPort();
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {port ? port->fd : -1, POLLIN, 0}};
        int ready = ::poll(fds, port ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;  // cannot wait at all: end rather than spin
        }
        if (fds[0].revents) DrainWake();
        if (!readThreadRun_) break;
        if (port && fds[1].revents && !ReadOnce(port->fd, fds[1].revents)) ClosePort();
    }
    // Discard what the driver still holds: it belongs to no one any more.
    if (PortPtr port = CurrentPort()) ::tcflush(port->fd, TCIFLUSH);
}

bool SerialLink::ReadOnce(int fd, short revents) {
    if (revents & POLLIN) {
        char chunk[kReadChunk];
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            std::string line;
            if (framer_.Feed(chunk, static_cast<std::size_t>(n), &line)) consumer_(line);
            return true;
        }
        if (n == 0) return false;  // hung up
        if (errno != EAGAIN && errno != EINTR) return false;  // EIO: the far end is gone
    }
    return !(revents & (POLLHUP | POLLERR | POLLNVAL));
}

void SerialLink::CloseLink() {
    readThreadRun_ = false;
    if (reader_.joinable()) {
        Wake();
        reader_.join();
    }
    SetPort(nullptr);
    state_ = State::Closed;
}

void SerialLink::PortErrorBox(const std::string& text) {
    PortStyleBox(text);
    ClosePort();
}

void SerialLink::ClosePort() {
    state_ = State::Failed;
    SetPort(nullptr);
}

void SerialLink::WritePort(const std::string& bytes) {
    PortPtr port = CurrentPort();
    if (!port) return;
    std::lock_guard<std::mutex> lock(writeMutex_);
    const auto deadline = std::chrono::steady_clock::now() + kWriteTimeout;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(port->fd, bytes.data() + done, bytes.size() - done);
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
        pollfd out{port->fd, POLLOUT, 0};
        int ready = ::poll(&out, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return;
        if (ready > 0 && (out.revents & (POLLERR | POLLHUP | POLLNVAL))) return;
    }
}

}  // namespace kvt
