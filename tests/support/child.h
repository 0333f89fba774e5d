// Test helpers: the one way the tests start a program. A child process has
// its standard output and error in files and dies with the test: when the
// test process ends, even killed by a time-out, the kernel kills the child
// too (PR_SET_PDEATHSIG). RunTool runs one to its end.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace kvt::test {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct ChildSetup {
    std::string in = "/dev/null";  // standard input
    std::string configHome;        // XDG_CONFIG_HOME; "" keeps the environment's
    long fileLimit = -1;           // bytes it may write to a file; -1: no limit
    bool ignoreSizeSignal = false; // SIGXFSZ ignored, as a shell may leave it
};

class Child {
public:
    Child(const std::vector<std::string>& argv, const std::string& outPath,
          const std::string& errPath, const ChildSetup& setup = {}) {
        // Everything the child needs is made before fork: after it only
        // async-signal-safe calls may run.
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<std::string> envStrings;
        for (char** e = environ; *e; ++e)
            if (setup.configHome.empty() || std::string(*e).rfind("XDG_CONFIG_HOME=", 0) != 0)
                envStrings.push_back(*e);
        if (!setup.configHome.empty()) envStrings.push_back("XDG_CONFIG_HOME=" + setup.configHome);
        std::vector<char*> env;
        for (auto& e : envStrings) env.push_back(e.data());
        env.push_back(nullptr);
        const rlimit limit = {static_cast<rlim_t>(setup.fileLimit),
                              static_cast<rlim_t>(setup.fileLimit)};
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork " + argv[0]);
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(127);  // the test is gone already
            const int in = ::open(setup.in.c_str(), O_RDONLY);
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
                ::dup2(err, 2) < 0)
                ::_exit(127);
            ::signal(SIGXFSZ, setup.ignoreSizeSignal ? SIG_IGN : SIG_DFL);
            if (setup.fileLimit >= 0) ::setrlimit(RLIMIT_FSIZE, &limit);
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
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

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

struct ToolResult {
    int status = -1;  // the exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs the program to its end; its output goes through files in dir.
inline ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                          const std::string& dir, const ChildSetup& setup = {}) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::string out = dir + "/.out", err = dir + "/.err";
    ToolResult r;
    r.status = Child(argv, out, err, setup).Wait();
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    ::unlink(out.c_str());
    ::unlink(err.c_str());
    return r;
}

}  // namespace kvt::test
