// The run engine on a virtual clock: what each run sends, when, and how it
// stops, with a simulated sign that answers after a delay.
#include <gtest/gtest.h>

#include "session/session.h"
#include "support/all_items.h"
#include "support/sign_on_clock.h"
#include "transfer/reply_timer.h"
#include "transfer/run_engine.h"
#include "transfer/virtual_clock.h"

namespace kvt {
namespace {

// What the sign answers by default: a read request gets its reply layout's
// head (too short to change anything), anything else "GO".
std::string Answer(const std::string& line) {
    if (line.find("RCA") != std::string::npos) return "CA99\r\n";
    if (line.find("RP") != std::string::npos) return "PV08\r\n";
    return "GO\r\n";
}

class Recorder : public RunView {
public:
    void StepDone(int step) override { steps.push_back(step); }
    void RunEnded(RunEnd end) override { ends.push_back(end); }
    std::vector<int> steps;
    std::vector<RunEnd> ends;
};

class RunEngineTest : public ::testing::Test {
protected:
    RunEngineTest() {
        sign.answerDelayMs = 5;
        sign.answer = [this](const std::string& line, size_t n) {
            return replyFor.count(n) ? replyFor[n] : Answer(line);
        };
    }

    // Runs the clock until the run is over (or a minute of virtual time).
    void Finish() {
        ASSERT_TRUE(test::RunClockWhile(clock, [this] { return engine.running(); }, 60000));
    }

    VirtualClock clock;
    test::RecordingSeam seam;
    Session session{&seam};
    test::SignOnClock sign{session, clock};
    std::map<size_t, std::string> replyFor;  // 1-based line number -> reply
    RunEngine engine{session, clock};
    Recorder view;
};

TEST_F(RunEngineTest, AllItemsSendsTheStoreInOrderAtItsPace) {
    ASSERT_TRUE(engine.Start(RunKind::AllItems, Pacing{}, &view));
    EXPECT_FALSE(engine.Start(RunKind::ReadBack, Pacing{}, nullptr));
    EXPECT_EQ(session.transferStep, 1);
    Finish();

    EXPECT_EQ(test::HeadsOf(sign.lines, test::AllItemsHeads()), test::AllItemsHeads());

    // Texts every 500 ms from the start, the rest every 200 ms after the
    // silent step 33 at 16.5 s.
    EXPECT_EQ(sign.times[0], 500);
    EXPECT_EQ(sign.times[31], 16000);
    EXPECT_EQ(sign.TimeOf("PTFB"), 16700);
    EXPECT_EQ(sign.TimeOf("PV"), 30500);
    ASSERT_EQ(view.steps.size(), 103u);
    EXPECT_EQ(view.steps.back(), 103);
    EXPECT_EQ(view.ends, std::vector<RunEnd>{RunEnd::Finished});
    EXPECT_EQ(session.transferStep, 0);
    // Only the reply to the last line came with no run going on.
    clock.Advance(100);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});
}

TEST_F(RunEngineTest, RejectedStepsShowTheirMessageAndTheRunGoesOn) {
    session.panelSettings.lineText[2][2] = "AB";
    session.panelSettings.charColor[4][0] = session.panelSettings.edgeColor[4][0] = 8;
    session.panelSettings.sequenceMode = 1;
    ASSERT_TRUE(engine.Start(RunKind::AllItems, Pacing{}, &view));
    Finish();
    clock.Advance(100);
    EXPECT_EQ(view.steps.size(), 103u);
    ASSERT_EQ(sign.lines.size(), 100u);
    EXPECT_EQ(sign.lines[2].substr(0, 4), "CA04");
    EXPECT_EQ(sign.lines[96], "PAS\r\n");
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{kJisMessage, "Miss! Can't Set", "Success"}));
}

TEST_F(RunEngineTest, AnErrorReplyStopsTheRunAtItsNextTick) {
    replyFor[49] = "E1\r\n";
    ASSERT_TRUE(engine.Start(RunKind::AllItems, Pacing{}, &view));
    Finish();
    // Line 49 went out at step 51 (16.5 s + 18 x 200 ms); the tick after its
    // reply sends nothing.
    EXPECT_EQ(sign.lines.size(), 49u);
    EXPECT_EQ(view.ends, std::vector<RunEnd>{RunEnd::StoppedOnError});
    EXPECT_EQ(session.errorReply, 0);
    EXPECT_EQ(session.transferStep, 0);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Parity Error"});

    // A new run starts again from step 1.
    ASSERT_TRUE(engine.Start(RunKind::AllItems, Pacing{}, &view));
    clock.Advance(500);
    EXPECT_EQ(sign.lines.back().substr(0, 4), "CA01");
}

TEST_F(RunEngineTest, AnEarlierErrorEndsTheFirstTickAndAnUnknownLineClearsIt) {
    session.errorReply = 1;
    ASSERT_TRUE(engine.Start(RunKind::BlinkPages, Pacing{}, &view));
    Finish();
    EXPECT_TRUE(sign.lines.empty());
    EXPECT_TRUE(view.steps.empty());

    session.InterpretReply("E2\r\n");
    session.InterpretReply("what?\r\n");
    const Millis start = clock.Now();
    ASSERT_TRUE(engine.Start(RunKind::BlinkPages, Pacing{}, &view));
    Finish();
    EXPECT_EQ(sign.lines.size(), 32u);
    EXPECT_EQ(sign.times.back() - start, 32 * 200);
}

TEST_F(RunEngineTest, TicksThatComeWhileABoxIsOpenAreLost) {
    // Page 3's text is rejected; its box stays open for 1.2 s, over two
    // ticks of the beat, which are lost: page 4 goes at the next beat after.
    session.panelSettings.lineText[2][0] = "A";
    seam.whileOpen = [this](const BoxRequest&) { clock.Advance(1200); };
    ASSERT_TRUE(engine.Start(RunKind::TextPages, Pacing{}, &view));
    Finish();
    ASSERT_EQ(sign.lines.size(), 31u);
    EXPECT_EQ(sign.times[1], 1000);
    EXPECT_EQ(sign.lines[2].substr(0, 4), "CA04");
    EXPECT_EQ(sign.times[2], 3000);  // the tick at 1.5 s opened the box until 2.7 s
    EXPECT_EQ(sign.times.back(), 17000);
    EXPECT_EQ(view.steps.size(), 32u);
}

TEST_F(RunEngineTest, PageRunsSendEveryPageWithTheSlavePrefix) {
    session.lineMode = 1;
    session.slaveNo = 7;
    ASSERT_TRUE(engine.Start(RunKind::ColourPages, Pacing{}, &view));
    Finish();
    ASSERT_EQ(sign.lines.size(), 32u);
    EXPECT_EQ(sign.lines.front(), "07P01ICLT70707070707070\r\n");
    EXPECT_EQ(sign.lines.back().substr(0, 9), "07P32ICLT");
    EXPECT_EQ(sign.times.front(), 200);
    EXPECT_EQ(sign.times.back(), 6400);

    sign.times.clear();
    const Millis start = clock.Now();
    ASSERT_TRUE(engine.Start(RunKind::TextPages, Pacing{}, &view));
    Finish();
    EXPECT_EQ(sign.times.back() - start, 16000);
}

TEST_F(RunEngineTest, ReadBackRequestsEveryHalfSecondAndStepNinetySevenIsSilent) {
    EXPECT_EQ(ReadRequestAt(33), "RP01BDLT\r\n");
    EXPECT_EQ(ReadRequestAt(96), "RP32ICLT\r\n");
    EXPECT_EQ(ReadRequestAt(97), "");
    ASSERT_TRUE(engine.Start(RunKind::ReadBack, Pacing{}, &view));
    Finish();
    ASSERT_EQ(sign.lines.size(), 102u);
    EXPECT_EQ(sign.lines.front(), "RCA01\r\n");
    EXPECT_EQ(sign.lines[96], "RP\r\n");
    EXPECT_EQ(sign.times[96], 49000);  // step 98: step 97 at 48.5 s sent nothing
    EXPECT_EQ(sign.lines.back(), "RPV\r\n");
    EXPECT_EQ(sign.times.back() - sign.times.front(), 51000);
}

TEST_F(RunEngineTest, AbortDuringATickBoxEndsTheRunAfterThatTick) {
    session.panelSettings.lineText[0][0] = "A";
    seam.whileOpen = [this](const BoxRequest&) {
        engine.Abort();
        EXPECT_EQ(session.transferStep, 1);  // the tick is still going on
    };
    ASSERT_TRUE(engine.Start(RunKind::TextPages, Pacing{}, &view));
    clock.Advance(600);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(session.transferStep, 0);
    EXPECT_TRUE(view.steps.empty());  // the view is gone: not told
    clock.Advance(5000);
    EXPECT_TRUE(sign.lines.empty());

    // A second engine on the same session waits for the first one's run.
    RunEngine other(session, clock);
    ASSERT_TRUE(engine.Start(RunKind::ColourPages, Pacing{}, nullptr));
    EXPECT_FALSE(other.Start(RunKind::BlinkPages, Pacing{}, nullptr));
    engine.Abort();
    EXPECT_TRUE(other.Start(RunKind::BlinkPages, Pacing{}, nullptr));
}

TEST_F(RunEngineTest, ReplyPacingSendsEachStepAfterTheReplyAndTheGap) {
    sign.answerDelayMs = 30;
    ASSERT_TRUE(engine.Start(RunKind::AllItems, Pacing{Pace::Reply, 20}, &view));
    Finish();
    ASSERT_EQ(sign.lines.size(), 102u);
    // Each command 30 ms (answer) + 20 ms (gap) after the one before; the
    // first at once, and step 33 takes no time.
    EXPECT_EQ(sign.times[0], 0);
    EXPECT_EQ(sign.times[1], 50);
    EXPECT_EQ(sign.TimeOf("PTFB"), 32 * 50);
    EXPECT_EQ(sign.times.back(), 101 * 50);
    EXPECT_EQ(view.ends, std::vector<RunEnd>{RunEnd::Finished});
    clock.Advance(100);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});

    sign.lines.clear();
    sign.times.clear();
    const Millis start = clock.Now();
    ASSERT_TRUE(engine.Start(RunKind::ReadBack, Pacing{Pace::Reply, 0}, &view));
    Finish();
    ASSERT_EQ(sign.lines.size(), 102u);
    EXPECT_EQ(sign.times.back() - start, 101 * 30);
}

TEST_F(RunEngineTest, ReplyPacingStopsAtOnceOnAnErrorReplyOrSilence) {
    replyFor[3] = "E3\r\n";
    ASSERT_TRUE(engine.Start(RunKind::TextPages, Pacing{Pace::Reply, 20}, &view));
    Finish();
    EXPECT_EQ(sign.lines.size(), 3u);
    EXPECT_EQ(view.ends.back(), RunEnd::StoppedOnError);
    EXPECT_EQ(session.errorReply, 0);

    // A sign that stops answering: "No Connect" from the reply time-out
    // ends the run instead of sending on into silence.
    ReplyTimer replyTimer(session, clock);
    replyTimer.StartWithFirstCommand();
    sign.lines.clear();
    replyFor = {{2, ""}};
    ASSERT_TRUE(engine.Start(RunKind::TextPages, Pacing{Pace::Reply, 20}, &view));
    Finish();
    EXPECT_EQ(sign.lines.size(), 2u);
    EXPECT_EQ(view.ends.back(), RunEnd::NoConnect);
    EXPECT_EQ(seam.texts().back(), "No Connect");
}

TEST_F(RunEngineTest, NoConnectFallsOnTheSeventhBeatAfterTheWrite) {
    // The command-line tool's beat starts half a beat after the first write.
    ReplyTimer fromWrite(session, clock);
    fromWrite.StartWithFirstCommand();
    replyFor[1] = "";
    clock.Advance(1000);
    session.Dispatch(BuildHPosition(session.panelSettings));
    clock.Advance(3249);
    EXPECT_TRUE(seam.texts().empty());
    clock.Advance(1);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"No Connect"});
    EXPECT_EQ(session.replyPending, 0);
}

TEST_F(RunEngineTest, NoConnectWithAFreeRunningBeatComesThreeToThreeAndAHalfSecondsLater) {
    ReplyTimer beat(session, clock);
    beat.Restart();  // a menu opened
    for (Millis phase : {0, 120, 499}) {
        seam.clear();
        replyFor[sign.lines.size() + 1] = "";
        clock.Advance(phase);
        const Millis sent = clock.Now();
        session.Dispatch(BuildHPosition(session.panelSettings));
        while (seam.texts().empty() && clock.Now() < sent + 5000) clock.Advance(1);
        EXPECT_GE(clock.Now() - sent, 3000) << phase;
        EXPECT_LE(clock.Now() - sent, 3500) << phase;
    }
}

TEST_F(RunEngineTest, TwoSessionsRunSideBySide) {
    test::RecordedSession second;
    RunEngine secondEngine(second.session, clock);
    second.session.lineMode = 1;
    second.session.slaveNo = 2;
    ASSERT_TRUE(engine.Start(RunKind::ColourPages, Pacing{}, nullptr));
    ASSERT_TRUE(secondEngine.Start(RunKind::ColourPages, Pacing{}, nullptr));
    clock.Advance(7000);
    EXPECT_EQ(sign.lines.size(), 32u);
    ASSERT_EQ(second.port.lines.size(), 32u);
    EXPECT_EQ(second.port.lines[0].substr(0, 5), "02P01");
    EXPECT_EQ(sign.lines[0].substr(0, 3), "P01");
}

}  // namespace
}  // namespace kvt
