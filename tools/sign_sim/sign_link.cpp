#include "sign_link.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "sign_answers.h"
#include "tcp_listener.h"

namespace kvt::sim {

namespace {

constexpr size_t kMaxLine = 4096;  // longer garbage is dropped
constexpr auto kSplitGap = std::chrono::milliseconds(30);
// One byte on a 38400 bit/s line with a start bit, 8 data bits, parity and
// a stop bit.
constexpr auto kByteTime = std::chrono::nanoseconds(11 * 1000000000LL / 38400);

// A termios speed in bit/s.
long SpeedBits(speed_t speed) {
    static const std::pair<speed_t, long> kSpeeds[] = {
        {B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
        {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
        {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
    };
    for (const auto& [code, bits] : kSpeeds)
        if (code == speed) return bits;
    return -1;
}

std::string Printable(const std::string& line) {
    std::string out;
    for (unsigned char c : line) {
        if (c == '\r' || c == '\n') continue;
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace

SignLink::~SignLink() {
    if (!options_.link.empty()) ::unlink(options_.link.c_str());
    if (log_) std::fclose(log_);
    if (holder_ >= 0) ::close(holder_);
    if (master_ >= 0) ::close(master_);
    if (listener_ >= 0) ::close(listener_);
}

bool SignLink::Open(std::string* error) {
    if (!options_.tcp.empty()) {
        listener_ = ListenTcp(options_.tcp, "--tcp", "tcp://", &devicePath_, error);
        if (listener_ < 0) return false;
    } else if (!options_.rfc2217.empty()) {
        listener_ = ListenTcp(options_.rfc2217, "--rfc2217", "rfc2217://", &devicePath_, error);
        if (listener_ < 0) return false;
    } else if (!OpenPty(error)) {
        return false;
    }
    if (!options_.log.empty()) {
        log_ = std::fopen(options_.log.c_str(), "w");
        if (!log_) {
            *error = "cannot write the log " + options_.log;
            return false;
        }
        std::setvbuf(log_, nullptr, _IOLBF, 0);
    }
    return true;
}

bool SignLink::OpenPty(std::string* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char path[PATH_MAX];
    if (::ptsname_r(master_, path, sizeof path) != 0) {
        *error = "cannot name the pseudo-terminal";
        return false;
    }
    devicePath_ = path;
    holder_ = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (holder_ < 0 || ::tcgetattr(holder_, &tio) != 0) {
        *error = "cannot open " + devicePath_;
        return false;
    }
    // Raw from the start: no echo of the host's bytes before it has set
    // its own line settings.
    ::cfmakeraw(&tio);
    ::tcsetattr(holder_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!options_.link.empty()) {
        ::unlink(options_.link.c_str());
        if (::symlink(path, options_.link.c_str()) != 0) {
            *error = "cannot make the link " + options_.link + ": " + std::strerror(errno);
            options_.link.clear();
            return false;
        }
    }
    return true;
}

bool SignLink::OnEvent(bool readable) {
    if (master_ < 0) {
        master_ = AcceptClient(listener_);
        if (master_ >= 0 && !options_.rfc2217.empty()) {
            telnet_ = std::make_unique<Rfc2217Server>(options_, &lineRequests_);
            WriteWire(telnet_->Greeting());
        }
    } else if (readable) {
        Receive();
    } else if (listener_ >= 0) {
        DropClient();
    } else {
        // Cannot happen while the far end is held open; never spin on it.
        std::fprintf(stderr, "kvt540m-sign-sim: the pseudo-terminal failed\n");
        return false;
    }
    return true;
}

SignLink::Clock::time_point SignLink::nextDue() const {
    return pending_.empty() ? Clock::time_point::max() : pending_.front().due;
}

void SignLink::DropClient() {
    ::close(master_);
    master_ = -1;
    telnet_.reset();
    received_.clear();
    pending_.clear();
}

void SignLink::Receive() {
    char chunk[4096];
    ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        if (listener_ >= 0) DropClient();  // a pty's far end is held open: never here
        return;
    }
    if (n < 0) return;
    if (telnet_) {
        std::string answers;
        n = static_cast<ssize_t>(telnet_->Receive(chunk, static_cast<size_t>(n), &answers));
        WriteWire(answers);
    }
    bytesReceived_ += n;
    // The bytes just read follow each other on the line, after what came
    // before them.
    Clock::time_point byteEnd = std::max(Clock::now(), rxFree_);
    for (ssize_t i = 0; i < n; ++i) {
        byteEnd += options_.lineRate ? kByteTime : Clock::duration::zero();
        // XON and XOFF are the host's flow control, not part of a line.
        if (chunk[i] == 0x11 || chunk[i] == 0x13) continue;
        received_ += chunk[i];
        if (chunk[i] == '\n') {
            HandleLine(received_, byteEnd);
            received_.clear();
        }
    }
    rxFree_ = byteEnd;
    if (received_.size() > kMaxLine) received_.clear();
}

void SignLink::HandleLine(const std::string& line, Clock::time_point complete) {
    ++linesReceived_;
    Log(line);
    termios tio{};
    if (holder_ >= 0 && ::tcgetattr(holder_, &tio) == 0) lineSpeed_ = SpeedBits(::cfgetospeed(&tio));
    std::string prefix, body = line;
    int slave = 0;
    if (options_.rs485) {
        // Lines for other slaves, or without a slave number, are not ours.
        if (line.size() < 2 || line[0] < '0' || line[0] > '9' || line[1] < '0' || line[1] > '9') return;
        slave = (line[0] - '0') * 10 + (line[1] - '0');
        if (!signs_.count(slave)) return;
        prefix = line.substr(0, 2);
        body = line.substr(2);
    }
    std::string reply;
    auto forced = options_.replies.find(static_cast<int>(linesReceived_));
    auto slaveForced = options_.slaveReplies.find(slave);
    if (forced == options_.replies.end() && slaveForced != options_.slaveReplies.end())
        forced = slaveForced;
    if (forced == options_.replies.end()) {
        reply = AnswerLine(signs_.at(slave), body);
    } else if (forced->second != "none") {
        reply = forced->second + "\r\n";
    }
    if (reply.empty()) return;
    reply = prefix + reply;
    Clock::time_point due = complete + std::chrono::milliseconds(options_.delayMs);
    if (options_.lineRate) {
        // The reply is read by the host once its last byte is through.
        due = std::max(due, txFree_) + static_cast<int>(reply.size()) * kByteTime;
        txFree_ = due;
    }
    pending_.push_back({due, reply, options_.split});
}

void SignLink::Log(const std::string& line) {
    if (!log_) return;
    // Seconds on the system's monotonic clock, so that a test can compare
    // them with its own steady clock.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(log_, "%ld.%03ld %s\n", static_cast<long>(now.tv_sec), now.tv_nsec / 1000000,
                 Printable(line).c_str());
}

void SignLink::SendDue() {
    while (!pending_.empty() && pending_.front().due <= Clock::now()) {
        Pending reply = std::move(pending_.front());
        pending_.pop_front();
        if (reply.maySplit && reply.bytes.size() > 1) {
            // First byte now, the rest a little later: two reads at the host.
            WriteAll(reply.bytes.substr(0, 1));
            pending_.push_front({Clock::now() + kSplitGap, reply.bytes.substr(1), false});
            return;
        }
        WriteAll(reply.bytes);
    }
}

void SignLink::WriteAll(const std::string& bytes) {
    if (WriteWire(telnet_ ? telnet_->Send(bytes) : bytes)) bytesSent_ += static_cast<long>(bytes.size());
}

bool SignLink::WriteWire(const std::string& bytes) {
    if (master_ < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        // Nobody reads the far end: wait a while for room, then give up.
        pollfd out{master_, POLLOUT, 0};
        if (::poll(&out, 1, 1000) <= 0) return false;
    }
    return true;
}

}  // namespace kvt::sim
