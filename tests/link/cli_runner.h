// Test helper: runs the command-line tool as a user would, with a profile
// folder of the test's own, and collects what it did.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/pty_partner.h"
#include "support/test_paths.h"

namespace kvt::test {

inline const std::string kSample = std::string(KVT_TEST_DATA) + "/sample.dat";

struct CliResult {
    int status;
    double cpuSeconds;
    std::string out, err;
    double seconds;   // how long it ran
    double endedAt;   // monotonic seconds
};

// Starts the tool in dir; its output goes to NAME.out and NAME.err there.
inline std::unique_ptr<Child> StartCli(const TempDir& dir, const std::vector<std::string>& args,
                                       const std::string& name = "cli") {
    std::vector<std::string> argv{KVT_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<Child>(argv, dir / (name + ".out"), dir / (name + ".err"),
                                   ChildSetup{"/dev/null", dir.path()});
}

// Waits for a started tool to end and collects what it did.
inline CliResult FinishCli(const TempDir& dir, Child& cli, const std::string& name = "cli") {
    CliResult r;
    r.status = cli.Wait(&r.cpuSeconds);
    r.endedAt = MonotonicNow();
    r.seconds = 0;
    r.out = ReadFile(dir / (name + ".out"));
    r.err = ReadFile(dir / (name + ".err"));
    return r;
}

// When `text` first appeared on a started tool's standard output
// (monotonic seconds), watched for at most `within`; 0 when it never did.
inline double WhenPrinted(const TempDir& dir, const std::string& text, milliseconds within,
                          const std::string& name = "cli") {
    const auto end = Clock::now() + within;
    while (Clock::now() < end) {
        if (ReadFile(dir / (name + ".out")).find(text) != std::string::npos) return MonotonicNow();
        std::this_thread::sleep_for(milliseconds(2));
    }
    return 0;
}

// Runs the tool in dir; after `interruptAfter` seconds (if any) it is sent
// SIGINT, or the sign is killed when one is given.
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args,
                        double interruptAfter = 0, Sim* killSign = nullptr) {
    const double start = MonotonicNow();
    auto cli = StartCli(dir, args);
    if (interruptAfter > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(interruptAfter));
        if (killSign)
            killSign->Kill();
        else
            cli->Signal(SIGINT);
    }
    CliResult r = FinishCli(dir, *cli);
    r.seconds = r.endedAt - start;
    return r;
}

// Tests that run the tool in a folder of their own.
class CliOnSim : public ::testing::Test {
protected:
    CliResult Run(const std::vector<std::string>& args, double interruptAfter = 0,
                  Sim* killSign = nullptr) {
        return RunCli(dir, args, interruptAfter, killSign);
    }

    TempDir dir;
};

}  // namespace kvt::test
