// The command-line tool keeps time on the wall clock: the whole all-items run
// at its timed pace against the simulated sign. Every other timed behaviour
// is tested on the virtual clock; this one proves the poll loop behind them.
#include <gtest/gtest.h>

#include "link/cli_runner.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::CliOnSim;
using test::CliResult;
using test::kSample;

// Offset of step s of the all-items run from its first command, in seconds.
double AllItemsOffset(int step) { return step <= 33 ? 0.5 * (step - 1) : 16.0 + 0.2 * (step - 33); }

// Beside the whole run, two runs that do not fully succeed go on at the same
// time: one whose 40th command gets no reply, one with steps its file does
// not let through. Both end in failure.
TEST_F(CliOnSim, WholeAllItemsRunInOrderAndOnTime) {
    CliResult dry = Run({"send", kSample, "--dry-run"});
    ASSERT_EQ(dry.status, 0);
    test::Sim silent({"--reply", "40=none"});
    test::Sim rejecting({});
    auto partly = test::StartCli(dir, {"send", kSample, "--port", silent.path()}, "partly");
    auto rejected = test::StartCli(
        dir, {"send", std::string(KVT_TEST_DATA) + "/rejects.dat", "--port", rejecting.path()},
        "rejected");
    test::Sim sim({});
    CliResult r = Run({"send", kSample, "--port", sim.path()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Success\n");

    CliResult p = test::FinishCli(dir, *partly, "partly");
    EXPECT_EQ(p.status, 1) << p.err;
    EXPECT_EQ(test::LogLines(silent.log()).size(), 102u);
    CliResult j = test::FinishCli(dir, *rejected, "rejected");
    EXPECT_EQ(j.status, 1) << j.err;
    EXPECT_NE(j.err.find("step 39: Miss! Can't Set\n"), std::string::npos) << j.err;
    EXPECT_EQ(test::LogLines(rejecting.log()).size(), 99u);

    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 102u);
    std::vector<std::string> expected;
    for (size_t start = 0, lf; (lf = dry.out.find("\r\n", start)) != std::string::npos; start = lf + 2)
        expected.push_back(dry.out.substr(start, lf - start));
    ASSERT_EQ(expected.size(), 102u);
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].second, expected[i]) << "command " << i + 1;
        const int step = static_cast<int>(i) + (i < 32 ? 1 : 2);  // step 33 sends nothing
        EXPECT_NEAR(log[i].first - log[0].first, AllItemsOffset(step), 0.15) << "step " << step;
    }
    EXPECT_NEAR(log.back().first - log[0].first, 30.0, 0.15);
}

}  // namespace
}  // namespace kvt
