// Test partners of the serial link: a bare pseudo-terminal the test writes
// to and reads from, and the simulated sign as a child process that ends
// with the test.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/test_paths.h"

namespace kvt::test {

// The far end of a pty as a sign would hold it. It also keeps the device
// side open so that the link closing it does not hang up this end.
class PtyPartner {
public:
    PtyPartner() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char path[PATH_MAX];
        if (master_ < 0 || ::grantpt(master_) || ::unlockpt(master_) ||
            ::ptsname_r(master_, path, sizeof path))
            throw std::runtime_error("no pty");
        path_ = path;
        holder_ = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        ::tcgetattr(holder_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(holder_, TCSANOW, &tio);
    }
    ~PtyPartner() { Vanish(); }

    const std::string& path() const { return path_; }

    // The line settings of the device side, as whoever set them left them.
    termios Settings() const {
        termios tio{};
        if (::tcgetattr(holder_, &tio) != 0) throw std::runtime_error("tcgetattr");
        return tio;
    }

    void Send(const std::string& bytes) {
        if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("pty write");
    }

    // What the link wrote, gathered until `count` bytes are there or the
    // time is up.
    std::string Receive(size_t count, milliseconds within = milliseconds(1000)) {
        std::string got;
        const auto end = Clock::now() + within;
        while (got.size() < count) {
            auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now()).count();
            pollfd in{master_, POLLIN, 0};
            if (left <= 0 || ::poll(&in, 1, static_cast<int>(left)) <= 0) break;
            char chunk[4096];
            ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) break;
            got.append(chunk, static_cast<size_t>(n));
        }
        return got;
    }

    // The sign goes away: the link sees a hang-up.
    void Vanish() {
        if (holder_ >= 0) ::close(holder_);
        if (master_ >= 0) ::close(master_);
        holder_ = master_ = -1;
    }

private:
    int master_ = -1;
    int holder_ = -1;
    std::string path_;
};

// The simulated sign, started with the given options; its device path is
// the first line it prints.
class Sim {
public:
    explicit Sim(const std::vector<std::string>& options) {
        std::vector<std::string> argv{KVT_SIM_PATH, "--log", dir_ / "sim.log"};
        argv.insert(argv.end(), options.begin(), options.end());
        child_ = std::make_unique<Child>(argv, dir_ / "sim.out", dir_ / "sim.err",
                                         ChildSetup{"/dev/null", dir_.path()});
        const auto end = Clock::now() + milliseconds(5000);
        while (Clock::now() < end) {
            std::string out = ReadFile(dir_ / "sim.out");
            if (out.find('\n') != std::string::npos) {
                path_ = out.substr(0, out.find('\n'));
                return;
            }
            std::this_thread::sleep_for(milliseconds(10));
        }
        throw std::runtime_error("the simulated sign did not start: " + ReadFile(dir_ / "sim.err"));
    }
    const std::string& path() const { return path_; }
    std::string log() const { return ReadFile(dir_ / "sim.log"); }
    // What it printed on standard output so far (with --stats, once ended).
    std::string printed() const { return ReadFile(dir_ / "sim.out"); }
    // Ends it as an operator would (SIGTERM); the exit status.
    int Stop() {
        child_->Signal(SIGTERM);
        return child_->Wait();
    }
    void Kill() {
        child_->Signal(SIGKILL);
        child_->Wait();
    }
    const Child& process() const { return *child_; }

private:
    TempDir dir_;
    std::unique_ptr<Child> child_;
    std::string path_;
};

// Lines of the sign's log: (seconds on the monotonic clock, line text).
inline std::vector<std::pair<double, std::string>> LogLines(const std::string& log) {
    std::vector<std::pair<double, std::string>> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        size_t space = line.find(' ');
        lines.emplace_back(std::stod(line.substr(0, space)), line.substr(space + 1));
    }
    return lines;
}

// The texts of the lines the sign received, in order.
inline std::vector<std::string> LogTexts(const Sim& sim) {
    std::vector<std::string> texts;
    for (const auto& entry : LogLines(sim.log())) texts.push_back(entry.second);
    return texts;
}

// The CPU time this process (all its threads) used while the calling thread
// slept for the given time, in microseconds.
inline long CpuMicrosWhileSleeping(milliseconds sleep) {
    auto micros = [] {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
               r.ru_stime.tv_usec;
    };
    const long before = micros();
    std::this_thread::sleep_for(sleep);
    return micros() - before;
}

inline double MonotonicNow() {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

}  // namespace kvt::test
