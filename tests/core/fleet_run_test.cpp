// Fleet runs on a virtual clock: lines side by side, each against its own
// simulated signs; a line that fails alone, the cap on lines at once, the
// stop, verify and read.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/fake_opener.h"
#include "support/sign_on_clock.h"
#include "transfer/fleet_run.h"
#include "transfer/virtual_clock.h"

namespace kvt {
namespace {

using test::FakeOpener;
using test::SignOnClock;

class Recorder : public FleetView {
public:
    void LineMessage(size_t line, const std::string& text) override { messages[line] = text; }
    void SignDone(size_t line, size_t sign, const SlaveResult&, const Session& session) override {
        hPositions[{line, sign}] = session.panelSettings.hPosition;
    }
    std::map<size_t, std::string> messages;
    std::map<std::pair<size_t, size_t>, int> hPositions;
};

class FleetRunTest : public ::testing::Test {
protected:
    // A line on device NAME with a sign at each slave, each sign's file
    // trimmed to its own horizontal position.
    FleetLine Line(const std::string& name, std::vector<int> slaves) {
        FleetLine line{name, name, {}};
        for (int slave : slaves) {
            FleetSign sign;
            sign.name = name + "/" + std::to_string(slave);
            sign.slave = slave;
            ResetPanelSettings(&sign.settings);
            sign.settings.hPosition = 1 + slave % 15;
            line.signs.push_back(sign);
            opener.signs[name][slave];
        }
        return line;
    }
    Millis RunToEnd() {
        const Millis start = clock.Now();
        for (int i = 0; i < 100000 && run.running(); ++i) {
            clock.Advance(50);
            maxBusy = std::max(maxBusy, run.busyLines());
        }
        EXPECT_FALSE(run.running());
        return clock.Now() - start;
    }
    const SlaveResult& Result(size_t line, size_t sign) const { return run.results()[line][sign]; }
    bool Ok(size_t line, size_t sign) const { return Result(line, sign).ok(); }

    VirtualClock clock;
    FakeOpener opener{clock};
    FleetRun run{clock, opener};
    Recorder recorder;
    size_t maxBusy = 0;
    const Pacing reply{Pace::Reply, 20};
};

TEST_F(FleetRunTest, LinesRunSideBySideEachSignGettingItsOwnFile) {
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1, 2})}, false, reply, 0, &recorder));
    const Millis alone = RunToEnd();
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1, 2}), Line("b", {3, 4}), Line("c", {5, 6})},
                          false, reply, 0, &recorder));
    const Millis together = RunToEnd();
    EXPECT_LE(together, alone + 100) << "three lines take as long as one";
    EXPECT_EQ(maxBusy, 3u);
    for (size_t line = 0; line < 3; ++line)
        for (size_t sign = 0; sign < 2; ++sign) EXPECT_TRUE(Ok(line, sign));
    EXPECT_EQ(opener.buses["b"]->signs[4].settings.hPosition, 5);
    EXPECT_EQ(opener.buses["c"]->signs[5].settings.hPosition, 6);
    EXPECT_EQ(opener.buses["c"]->linesTo[6], 102);
}

TEST_F(FleetRunTest, ALineThatFailsFailsItsOwnSignsAlone) {
    opener.refused.insert("down");
    FleetLine quiet = Line("quiet", {1, 2});
    opener.signs["quiet"].erase(1);  // a silent sign
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1}), Line("down", {1, 2}), quiet}, false,
                          reply, 0, &recorder));
    RunToEnd();
    EXPECT_TRUE(Ok(0, 0));
    EXPECT_TRUE(Result(1, 0).notReached);
    EXPECT_EQ(Result(1, 1).problem, SignProblem::PortNotOpened);
    EXPECT_EQ(Result(1, 1).detail, "Cannot connect to down: Connection refused");
    EXPECT_EQ(recorder.messages[1], "Cannot connect to down: Connection refused");
    EXPECT_EQ(Result(2, 0).problem, SignProblem::NoConnect);  // it costs its line one reply time-out
    EXPECT_TRUE(Ok(2, 1));
}

TEST_F(FleetRunTest, APortThatGoesAwayLeavesTheRestOfItsLineNotReached) {
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1, 2}), Line("b", {1, 2, 3})}, false, reply,
                          0, &recorder));
    clock.Advance(500);
    // "b" loses its port: nothing answers, and its link is in the failed state.
    opener.buses["b"]->signs.clear();
    opener.sessions["b"]->link().ClosePort();
    RunToEnd();
    EXPECT_TRUE(Ok(0, 1));
    EXPECT_EQ(Result(1, 0).problem, SignProblem::NoConnect);
    EXPECT_TRUE(Result(1, 1).notReached);
    EXPECT_EQ(Result(1, 2).problem, SignProblem::LineFailed);
}

TEST_F(FleetRunTest, JobsCapTheLinesAtOnce) {
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1}), Line("b", {1}), Line("c", {1})}, false,
                          reply, 1, &recorder));
    const Millis capped = RunToEnd();
    EXPECT_EQ(maxBusy, 1u);
    EXPECT_EQ(opener.maxOpen, 1);
    for (size_t line = 0; line < 3; ++line) EXPECT_TRUE(Ok(line, 0));
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1})}, false, reply, 1, &recorder));
    EXPECT_GE(capped, 3 * RunToEnd() - 100) << "one line after another";
}

TEST_F(FleetRunTest, AbortStopsEveryLineAtOnce) {
    ASSERT_TRUE(run.Start(BusJob::Deploy, {Line("a", {1, 2}), Line("b", {1, 2})}, false, Pacing{},
                          0, &recorder));
    clock.Advance(5000);
    run.Abort();
    EXPECT_FALSE(run.running());
    const int sent = opener.buses["a"]->linesTo[1] + opener.buses["b"]->linesTo[1];
    clock.Advance(60000);
    EXPECT_EQ(opener.buses["a"]->linesTo[1] + opener.buses["b"]->linesTo[1], sent);
    for (size_t line = 0; line < 2; ++line) {
        EXPECT_EQ(Result(line, 0).problem, SignProblem::Interrupted) << "the sign in hand";
        EXPECT_FALSE(Result(line, 0).notReached);
        EXPECT_TRUE(Result(line, 1).notReached) << "never started";
    }
}

TEST_F(FleetRunTest, VerifyComparesEachSignWithItsFileAndReadHandsOverWhatWasRead) {
    FleetLine line = Line("a", {1, 2});
    opener.signs["a"][1].settings.hPosition = 2;  // what sign 1's file says
    opener.signs["a"][2].settings.hPosition = 9;  // not what sign 2's file says (3)
    ASSERT_TRUE(run.Start(BusJob::Verify, {line}, false, reply, 0, &recorder));
    RunToEnd();
    EXPECT_TRUE(Ok(0, 0));
    EXPECT_EQ(run.results()[0][1].differences,
              std::vector<std::string>{"H position: file 3, sign 9"});

    ASSERT_TRUE(run.Start(BusJob::ReadAll, {line}, false, reply, 0, &recorder));
    RunToEnd();
    EXPECT_EQ(recorder.hPositions[(std::pair<size_t, size_t>{0, 1})], 9);
    EXPECT_TRUE(run.results()[0][1].ok());
}

TEST_F(FleetRunTest, TheOneSignOfAnRs232LineGoesWithoutASlaveNumber) {
    FleetLine line = Line("com1", {kNoSlave});
    ASSERT_TRUE(run.Start(BusJob::Deploy, {line}, true, reply, 0, &recorder));
    RunToEnd();
    EXPECT_TRUE(Ok(0, 0));
    EXPECT_EQ(opener.buses["com1"]->linesTo[kNoSlave], 102 + 102);
}

}  // namespace
}  // namespace kvt
