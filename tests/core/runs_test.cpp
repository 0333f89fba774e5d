#include <gtest/gtest.h>

#include "serial/reply_interpreter.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "support/program_state.h"
#include "support/recording_seam.h"
#include "transfer/all_items_steps.h"
#include "transfer/pages_run.h"
#include "transfer/read_back_steps.h"

namespace kvt {
namespace {

class RunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
    }

    // Ticks the run to its end; the sign answers "GO" to every line at once.
    // Returns the ticks' results.
    template <class Run>
    std::vector<RunTick> Drive(Run& run) {
        std::vector<RunTick> ticks;
        do {
            const size_t sent = port.lines.size();
            ticks.push_back(run.Tick());
            if (port.lines.size() > sent) InterpretReply("GO\r\n");
        } while (ticks.back().outcome == RunTick::Outcome::Continue && ticks.size() < 200);
        return ticks;
    }

    std::vector<std::string> Heads(size_t length) const {
        std::vector<std::string> heads;
        for (const auto& line : port.lines) heads.push_back(line.substr(0, length));
        return heads;
    }

    test::RecordingSeam seam;
    test::RecordingPort port;
};

TEST_F(RunsTest, AllItemsSendsTheStoreInOrder) {
    AllItemsRun run;
    ASSERT_TRUE(run.Start());
    EXPECT_FALSE(run.Start());
    EXPECT_FALSE(AllItemsRun().Start());
    const std::vector<RunTick> ticks = Drive(run);

    ASSERT_EQ(ticks.size(), 103u);
    for (int s = 1; s <= 103; ++s) EXPECT_EQ(ticks[s - 1].stepDone, s);
    EXPECT_EQ(ticks[31].periodMs, 500);
    EXPECT_FALSE(ticks[31].periodChanged);
    EXPECT_TRUE(ticks[32].periodChanged);
    EXPECT_EQ(ticks[32].periodMs, 200);
    EXPECT_EQ(ticks[33].periodMs, 200);
    EXPECT_EQ(ticks.back().outcome, RunTick::Outcome::Finished);
    EXPECT_EQ(transferStep, 0);
    EXPECT_FALSE(run.running());

    auto pp = [](int p) { return std::string(p < 10 ? "0" : "") + std::to_string(p); };
    std::vector<std::string> expected;
    for (int p = 1; p <= 32; ++p) expected.push_back("CA" + pp(p));
    expected.push_back("PTFB");
    expected.push_back("PTWL");
    for (int p = 1; p <= 32; ++p) expected.push_back("P" + pp(p) + "I");
    for (int p = 1; p <= 32; ++p) expected.push_back("P" + pp(p) + "B");
    expected.push_back("P01\r");
    expected.push_back("PTCT");
    expected.push_back("PH08");
    expected.push_back("PV08");
    EXPECT_EQ(Heads(4), expected);
    // Only the reply to the last line came with no run going on.
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});
}

TEST_F(RunsTest, AllItemsSkipsRejectedPagesAndGoesOn) {
    panelSettings.lineText[2][2] = "AB";
    panelSettings.charColor[4][0] = panelSettings.edgeColor[4][0] = 8;
    panelSettings.sequenceMode = 1;
    AllItemsRun run;
    ASSERT_TRUE(run.Start());
    const std::vector<RunTick> ticks = Drive(run);
    EXPECT_EQ(ticks.size(), 103u);
    ASSERT_EQ(port.lines.size(), 100u);
    EXPECT_FALSE(port.closed);
    EXPECT_EQ(port.lines[2].substr(0, 4), "CA04");
    EXPECT_EQ(port.lines[96], "PAS\r\n");
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{kJisMessage, "Miss! Can't Set", "Success"}));
}

TEST_F(RunsTest, AnErrorReplyStopsTheNextTick) {
    AllItemsRun run;
    ASSERT_TRUE(run.Start());
    for (int s = 1; s <= 50; ++s) run.Tick();
    InterpretReply("E1\r\n");
    const RunTick stop = run.Tick();
    EXPECT_EQ(stop.outcome, RunTick::Outcome::StoppedOnError);
    EXPECT_EQ(stop.stepDone, 0);
    EXPECT_EQ(transferStep, 0);
    EXPECT_EQ(errorReply, 0);
    EXPECT_EQ(port.lines.size(), 49u);
    EXPECT_EQ(run.Tick().stepDone, 0);  // a stale tick does nothing
    EXPECT_EQ(port.lines.size(), 49u);

    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Tick().stepDone, 1);
    EXPECT_EQ(port.lines.back().substr(0, 4), "CA01");
}

TEST_F(RunsTest, AnEarlierErrorEndsTheFirstTick) {
    errorReply = 1;
    PagesRun run(PagesRunKind::Blink);
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.Tick().outcome, RunTick::Outcome::StoppedOnError);
    EXPECT_TRUE(port.lines.empty());
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(Drive(run).size(), 32u);
    EXPECT_EQ(port.lines.size(), 32u);
}

TEST_F(RunsTest, PagesRunsSendEveryPageAndOneSuccess) {
    panelSettings.lineText[6][0] = "\x82";  // odd length: page 7 is skipped
    PagesRun text(PagesRunKind::Text);
    ASSERT_TRUE(text.Start());
    const std::vector<RunTick> ticks = Drive(text);
    ASSERT_EQ(ticks.size(), 32u);
    EXPECT_EQ(ticks[0].periodMs, 500);
    EXPECT_EQ(ticks[31].stepDone, 32);
    EXPECT_EQ(ticks[31].outcome, RunTick::Outcome::Finished);
    EXPECT_EQ(port.lines.size(), 31u);
    EXPECT_EQ(port.lines[6].substr(0, 4), "CA08");
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{kJisMessage, "Success"}));

    port.lines.clear();
    lineMode = 1;
    slaveNo = 7;
    PagesRun colour(PagesRunKind::Colour);
    ASSERT_TRUE(colour.Start());
    EXPECT_EQ(Drive(colour).front().periodMs, 200);
    EXPECT_EQ(port.lines.front(), "07P01ICLT70707070707070\r\n");
    EXPECT_EQ(port.lines.back().substr(0, 9), "07P32ICLT");
    EXPECT_EQ(PagesRunTimerId(PagesRunKind::Colour), 4);
}

TEST_F(RunsTest, AbortFreesOnlyItsOwnRun) {
    AllItemsRun mine;
    PagesRun other(PagesRunKind::Text);
    other.Abort();
    EXPECT_EQ(transferStep, 0);
    ASSERT_TRUE(mine.Start());
    mine.Tick();
    other.Abort();
    EXPECT_EQ(transferStep, 2);
    mine.Abort();
    EXPECT_EQ(transferStep, 0);
    EXPECT_TRUE(other.Start());
}

TEST_F(RunsTest, ReadBackRequests) {
    EXPECT_EQ(ReadRequestAt(1), "RCA01\r\n");
    EXPECT_EQ(ReadRequestAt(32), "RCA32\r\n");
    EXPECT_EQ(ReadRequestAt(33), "RP01BDLT\r\n");
    EXPECT_EQ(ReadRequestAt(64), "RP32BDLT\r\n");
    EXPECT_EQ(ReadRequestAt(65), "RP01ICLT\r\n");
    EXPECT_EQ(ReadRequestAt(96), "RP32ICLT\r\n");
    EXPECT_EQ(ReadRequestAt(97), "");
    EXPECT_EQ(ReadRequestAt(98), "RP\r\n");
    EXPECT_EQ(ReadRequestAt(103), "RPV\r\n");

    lineMode = 1;
    slaveNo = 5;
    ReadBackRun run;
    ASSERT_TRUE(run.Start());
    const std::vector<RunTick> ticks = Drive(run);
    ASSERT_EQ(ticks.size(), 103u);
    EXPECT_EQ(ticks[96].stepDone, 97);
    EXPECT_EQ(ticks[96].periodMs, 500);
    EXPECT_EQ(ticks.back().outcome, RunTick::Outcome::Finished);
    ASSERT_EQ(port.lines.size(), 102u);
    EXPECT_EQ(port.lines.front(), "05RCA01\r\n");
    EXPECT_EQ(port.lines[96], "05RP\r\n");
    EXPECT_EQ(port.lines.back(), "05RPV\r\n");
    EXPECT_EQ(transferStep, 0);
}

}  // namespace
}  // namespace kvt
