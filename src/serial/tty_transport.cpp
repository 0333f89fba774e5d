#include "serial/tty_transport.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "serial/link_error.h"
#include "text/clipped.h"

namespace kvt {

namespace {

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

// What a user who may not open the device must do.
std::string PermissionHint(const std::string& devicePath) {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) == 0)
        return "Your user must be in the group \"" + GroupName(info.st_gid) +
               "\", which owns the device (then log in again).";
    return "Your user must be allowed to read and write the device.";
}

}  // namespace

TtyTransport::~TtyTransport() { Close(); }

void TtyTransport::Close() {
    if (fd_ < 0) return;
    // What the sign has not taken is dropped: with hardware flow control
    // held by a sign that is off, close() would wait for it up to 30 s.
    ::tcflush(fd_, TCOFLUSH);
    ::ioctl(fd_, TIOCNXCL);  // let the next program open it
    ::close(fd_);
    fd_ = -1;
}

bool TtyTransport::Open(const Report& report) {
    failure_.clear();
    fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int openErrno = fd_ < 0 ? errno : 0;
    if (fd_ < 0) {
        NoteFailure("Miss! File Open", openErrno);
        report("Miss! File Open");
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
    // A failing step closes the device, so every later step fails too.
    for (const Step& step : kSteps) {
        if (fd_ >= 0 && step.apply(fd_)) continue;
        NoteFailure(step.message, errno);
        Close();
        report(step.message);
    }
    if (LinkErrorOf(openErrno) == LinkError::NoPermission) {
        report("Permission denied: " + Clipped(path_) + ". " + PermissionHint(path_));
        failure_ += ". " + PermissionHint(path_);
    }
    return fd_ >= 0;
}

void TtyTransport::NoteFailure(const char* step, int error) {
    // A file that is not a terminal fails the first terminal call with ENOTTY.
    if (failure_.empty())
        failure_ = Clipped(path_) + ": " + LinkErrorReason(error) + " (" + step + ")";
}

void TtyTransport::DiscardInput() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

}  // namespace kvt
