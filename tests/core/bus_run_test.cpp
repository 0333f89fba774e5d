// Bus runs on a virtual clock against a bus of simulated signs: results per
// slave, silent and failing slaves, verification, read-all, abort.
#include <gtest/gtest.h>

#include <map>

#include "session/session.h"
#include "support/sign_on_clock.h"
#include "transfer/bus_run.h"
#include "transfer/virtual_clock.h"

namespace kvt {
namespace {

using test::SignOnClock;

class Watcher : public BusView {
public:
    void SlaveDone(const SlaveResult& result, const Session& session) override {
        done.push_back(result.slave);
        hPositions.push_back(session.panelSettings.hPosition);
    }
    void BusDone(const std::vector<SlaveResult>& results) override { final = results; }
    std::vector<int> done;
    std::vector<int> hPositions;
    std::vector<SlaveResult> final;
};

class BusRunTest : public ::testing::Test {
protected:
    BusRunTest() {
        bus.AnswerAsSigns();
        line.replyTimer().StartWithFirstCommand();
        session.panelSettings.hPosition = 11;
        session.panelSettings.lineText[0][0] = "\x82\xA0";
    }
    void RunToEnd() {
        ASSERT_TRUE(test::RunClockWhile(clock, [this] { return run.running(); }, 600000));
    }

    VirtualClock clock;
    test::RecordingSeam seam;
    Session session{&seam};
    SignOnClock bus{session, clock};
    SignLine line{session, clock};
    BusRun run{line};
    Watcher watcher;
};

TEST_F(BusRunTest, DeployServesEverySlaveAndTellsHowEachWent) {
    bus.signs[1];
    bus.signs[4];
    bus.forced[3] = "E3";  // slave 2 is silent
    bus.forced[5] = "#?";  // garbled, or another device on the line
    ASSERT_TRUE(run.Start(BusJob::Deploy, {1, 2, 3, 4, 5}, false, Pacing{}, &watcher));
    EXPECT_EQ(session.lineMode, 1);
    RunToEnd();
    ASSERT_EQ(watcher.final.size(), 5u);
    EXPECT_TRUE(watcher.final[0].ok());
    EXPECT_EQ(watcher.final[1].problem, SignProblem::NoConnect);
    EXPECT_EQ(watcher.final[2].problem, SignProblem::SignError);
    EXPECT_EQ(watcher.final[2].signError, SignError::CommandError);
    EXPECT_TRUE(watcher.final[3].ok());
    EXPECT_EQ(watcher.final[4].problem, SignProblem::NotUnderstood);
    EXPECT_EQ(watcher.final[0].ms, 30500 + 5);  // the whole timed transfer and its last reply
    // The silent slave: its first text at 0.5 s, "No Connect" 3.0 to 3.5 s later.
    EXPECT_GE(watcher.final[1].ms, 3500);
    EXPECT_LE(watcher.final[1].ms, 4000);
    EXPECT_EQ(watcher.final[2].ms, 1000);  // stopped at the tick after the error
    EXPECT_EQ(bus.signs[4].settings.hPosition, 11);
    EXPECT_EQ(bus.signs[4].settings.lineText[0][0], "\x82\xA0");
    // The session is as it was: the file's store, RS-232C, no run.
    EXPECT_EQ(session.lineMode, 0);
    EXPECT_EQ(session.transferStep, 0);
    EXPECT_EQ(session.panelSettings.hPosition, 11);
}

TEST_F(BusRunTest, ReadAllHandsEachSlavesStoreToTheView) {
    bus.signs[1];
    bus.signs[2].settings.hPosition = 3;
    ASSERT_TRUE(run.Start(BusJob::Deploy, {1}, true, Pacing{Pace::Reply, 0}, &watcher));
    RunToEnd();
    ASSERT_EQ(watcher.final.size(), 1u);
    EXPECT_TRUE(watcher.final[0].ok());
    EXPECT_EQ(bus.linesTo[1], 102 + 102);  // the transfer, then the read-back

    watcher = Watcher{};
    ASSERT_TRUE(run.Start(BusJob::ReadAll, {1, 2}, false, Pacing{Pace::Reply, 0}, &watcher));
    RunToEnd();
    EXPECT_EQ(watcher.done, (std::vector<int>{1, 2}));
    EXPECT_EQ(watcher.hPositions, (std::vector<int>{11, 3}));
    EXPECT_TRUE(watcher.final[1].ok());
}

TEST_F(BusRunTest, DeployWithVerifyReportsEachDifference) {
    bus.signs[5];
    bus.signs[5].settings.vPosition = 2;
    // A sign that takes everything but PV: answer PV with GO but do not apply.
    class KeepsV : public CommandPort {
    public:
        explicit KeepsV(SignOnClock& bus) : bus_(bus) {}
        void WritePort(const std::string& bytes) override {
            if (bytes.compare(2, 2, "PV") == 0 && bytes.size() == 8) {
                const int before = bus_.signs[5].settings.vPosition;
                bus_.WritePort(bytes);
                bus_.signs[5].settings.vPosition = before;
                return;
            }
            bus_.WritePort(bytes);
        }
        void ClosePort() override {}
        SignOnClock& bus_;
    } keepsV(bus);
    session.SetPort(&keepsV);
    ASSERT_TRUE(run.Start(BusJob::Deploy, {5}, true, Pacing{Pace::Reply, 20}, &watcher));
    RunToEnd();
    ASSERT_EQ(watcher.final.size(), 1u);
    EXPECT_EQ(watcher.final[0].differences, std::vector<std::string>{"V position: file 8, sign 2"});
    EXPECT_EQ(watcher.final[0].problem, SignProblem::None);
    EXPECT_EQ(session.panelSettings.vPosition, 8) << "the file's store is back after the read";
}

TEST_F(BusRunTest, AbortEndsTheRunSilentlyAndRestoresTheSession) {
    bus.signs[1];
    ASSERT_TRUE(run.Start(BusJob::ReadAll, {1, 2}, false, Pacing{}, &watcher));
    EXPECT_FALSE(run.Start(BusJob::Deploy, {1}, false, Pacing{}, &watcher));
    clock.Advance(5000);
    run.Abort();
    EXPECT_FALSE(run.running());
    EXPECT_EQ(session.transferStep, 0);
    EXPECT_EQ(session.lineMode, 0);
    EXPECT_EQ(session.panelSettings.hPosition, 11);
    EXPECT_EQ(session.panelSettings.lineText[0][0], "\x82\xA0");
    clock.Advance(60000);
    EXPECT_TRUE(watcher.done.empty());

    // Another run holds the line: no bus run starts.
    ASSERT_TRUE(line.engine().Start(RunKind::ColourPages, Pacing{}, nullptr));
    EXPECT_FALSE(run.Start(BusJob::Deploy, {1}, false, Pacing{}, &watcher));
    EXPECT_FALSE(run.Start(BusJob::Deploy, {}, false, Pacing{}, &watcher));
}

}  // namespace
}  // namespace kvt
