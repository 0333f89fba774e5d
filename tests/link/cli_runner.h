// Test helper: runs the command-line tool as a user would, with a profile
// folder of the test's own, and collects what it did.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "link/pty_partner.h"

namespace kvt::test {

struct CliResult {
    int status;
    double cpuSeconds;
    std::string out, err;
    double seconds;   // how long it ran
    double endedAt;   // monotonic seconds
};

// Runs the tool in dir; after `interruptAfter` seconds (if any) it is sent
// SIGINT, or the sign is killed when one is given.
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args,
                        double interruptAfter = 0, Sim* killSign = nullptr) {
    std::vector<std::string> argv{KVT_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    const double start = MonotonicNow();
    Child cli(argv, dir / "cli.out", dir / "cli.err", dir.path());
    if (interruptAfter > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(interruptAfter));
        if (killSign)
            killSign->Kill();
        else
            cli.Signal(SIGINT);
    }
    CliResult r;
    r.status = cli.Wait(&r.cpuSeconds);
    r.endedAt = MonotonicNow();
    r.seconds = r.endedAt - start;
    r.out = ReadFile(dir / "cli.out");
    r.err = ReadFile(dir / "cli.err");
    return r;
}

}  // namespace kvt::test
