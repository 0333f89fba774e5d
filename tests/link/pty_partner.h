// Test partners of the serial link: a bare pseudo-terminal the test writes
// to and reads from, and child processes (the simulated sign, the
// command-line tool) that end with the test.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/test_paths.h"

extern char** environ;

namespace kvt::test {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// A temporary folder, removed with what it holds.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/kvt-link-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
        path_ = pattern;
    }
    ~TempDir() { (void)!std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A child process with its standard output and error in files. It dies
// with the test: when the test process ends, even killed by a time-out, the
// kernel kills the child too (PR_SET_PDEATHSIG).
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::string& outPath, const std::string& errPath,
          const std::string& configHome) {
        // Everything the child needs is made before fork: after it only
        // async-signal-safe calls may run.
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        // The same environment, with a profile folder of the test's own.
        std::vector<std::string> envStrings;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("XDG_CONFIG_HOME=", 0) != 0) envStrings.push_back(*e);
        envStrings.push_back("XDG_CONFIG_HOME=" + configHome);
        std::vector<char*> env;
        for (auto& e : envStrings) env.push_back(e.data());
        env.push_back(nullptr);
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork " + argv[0]);
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(127);  // the test is gone already
            int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
            ::execve(args[0], args.data(), env.data());
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    pid_t pid() const { return pid_; }
    void Signal(int sig) { ::kill(pid_, sig); }
    // Whether the child ignores sig (its SigIgn mask in /proc).
    bool Ignores(int sig) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("SigIgn:", 0) == 0)
                return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
        return false;
    }
    // The exit status, or 128 + signal; the child's CPU time in *cpuSeconds.
    // A child still running after `within` is killed (status 128 + 9) and
    // the wait fails the test.
    int Wait(double* cpuSeconds = nullptr, milliseconds within = milliseconds(120000)) {
        int status = 0;
        rusage usage{};
        const auto deadline = Clock::now() + within;
        while (::wait4(pid_, &status, WNOHANG, &usage) == 0) {
            if (Clock::now() >= deadline) {
                ADD_FAILURE() << "child " << pid_ << " still running after " << within.count() << " ms";
                ::kill(pid_, SIGKILL);
                ::wait4(pid_, &status, 0, &usage);
                break;
            }
            std::this_thread::sleep_for(milliseconds(5));
        }
        pid_ = -1;
        if (cpuSeconds) {
            *cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
};

// The simulated sign, started with the given options; its device path is
// the first line it prints.
class Sim {
public:
    explicit Sim(const std::vector<std::string>& options) {
        std::vector<std::string> argv{KVT_SIM_PATH, "--log", dir_ / "sim.log"};
        argv.insert(argv.end(), options.begin(), options.end());
        child_ = std::make_unique<Child>(argv, dir_ / "sim.out", dir_ / "sim.err", dir_.path());
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
