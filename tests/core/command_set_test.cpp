#include <gtest/gtest.h>

#include <climits>

#include "protocol/command_set.h"
#include "protocol/slave_list.h"
#include "session/session.h"
#include "support/sign_on_clock.h"

namespace kvt {
namespace {

class CommandSetTest : public ::testing::Test {
protected:
    std::string Repeat(const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    }
    test::RecordedSession recorded;
    test::RecordingSeam& seam = recorded.seam;
    test::SignOnClock& port = recorded.port;
    Session& session = recorded.session;
    PanelSettings& s = session.panelSettings;
};

TEST_F(CommandSetTest, TextCommandPadsWithFullWidthSpaces) {
    s.lineText[0][0] = "\x82\xA0";  // あ
    ASSERT_FALSE(session.Dispatch(BuildTextCommand(session.panelSettings, 'A', 0)));
    ASSERT_EQ(port.lines.size(), 1u);
    EXPECT_EQ(port.lines[0], "CA01" "2422" + Repeat("2121", 97) + "\r\n");
    EXPECT_EQ(port.lines[0].size(), 398u);
    EXPECT_EQ(session.replyPending, 1);

    s.lineText[11][6] = "\xFA\x5C";  // IBM extension kanji
    EXPECT_EQ(BuildTextCommand(session.panelSettings, 'N', 11).line,
              "CN12" + Repeat("2121", 84) + "7921" + Repeat("2121", 13) + "\r\n");
}

TEST_F(CommandSetTest, FullLineFitsLongerOrSingleByteLinesAreRejected) {
    s.lineText[3][2] = Repeat("\x82\xA0", 14);
    std::string text;
    ASSERT_TRUE(MakePageText(session.panelSettings, 3, &text));
    EXPECT_EQ(text.size(), 196u);
    EXPECT_EQ(text.substr(56, 28), Repeat("\x82\xA0", 14));
    EXPECT_FALSE(BuildTextCommand(session.panelSettings, 'A', 3).rejected());

    for (const std::string& bad : {Repeat("\x82\xA0", 15), std::string("AB"), std::string("\x82"),
                                   std::string("\xF0\x40")}) {
        s.lineText[3][2] = bad;
        EXPECT_EQ(BuildTextCommand(session.panelSettings, 'A', 3).rejection, Rejection::NotJis);
    }
    seam.clear();
    EXPECT_TRUE(session.Dispatch(BuildTextCommand(session.panelSettings, 'A', 3)));
    EXPECT_TRUE(port.lines.empty());
    ASSERT_EQ(seam.boxes().size(), 1u);
    EXPECT_EQ(seam.boxes()[0].text, kJisMessage);
    EXPECT_EQ(seam.boxes()[0].icon, BoxIcon::Exclamation);
}

TEST_F(CommandSetTest, PerPageAndAllPageLines) {
    s.fillMask[0] = 0x05;
    s.fillMask[11] = 0x7F;
    s.fillMask[31] = 0x1AB;  // only the low eight bits travel
    EXPECT_EQ(BuildFillBorderAll(session.panelSettings).line,
              "PTFB05" + Repeat("00", 10) + "7F" + Repeat("00", 19) + "AB\r\n");
    EXPECT_EQ(BuildFillBorderPage(session.panelSettings, 11).line, "P12FBLT7F\r\n");
    EXPECT_EQ(BuildWhiteLevelAll(session.panelSettings).line, "PTWL" + Repeat("H", 32) + "\r\n");
    s.whiteLevel[1] = 0;
    s.whiteLevel[2] = -3;
    EXPECT_EQ(BuildWhiteLevelAll(session.panelSettings).line.substr(0, 8), "PTWLHLHH");
    s.displayTime[0] = 7;
    s.displayTime[31] = 99;
    EXPECT_EQ(BuildDisplayTimeAll(session.panelSettings).line, "PTCT07" + Repeat("02", 30) + "99\r\n");
    s.blinkMode[4][6] = 4;
    EXPECT_EQ(BuildBlinkPage(session.panelSettings, 4).line, "P05BDLT0000004\r\n");
    s.charColor[31][0] = 1;
    s.edgeColor[31][6] = 8;
    EXPECT_EQ(BuildColourPage(session.panelSettings, 31).line, "P32ICLT10707070707078\r\n");
    EXPECT_EQ(BuildDisplayOnOff(session.displayOn).line, "IDON\r\n");
    session.displayOn = 0;
    EXPECT_EQ(BuildDisplayOnOff(session.displayOn).line, "IDOF\r\n");
}

TEST_F(CommandSetTest, PageSelectAndPositions) {
    session.currentPage = 9;
    EXPECT_EQ(BuildPageSelect(session.panelSettings, session.currentPage).line, "P10\r\n");
    s.sequenceMode = 1;
    session.currentPage = 77;  // ignored in sequence mode
    EXPECT_EQ(BuildPageSelect(session.panelSettings, session.currentPage).line, "PAS\r\n");
    EXPECT_EQ(BuildHPosition(session.panelSettings).line, "PH08\r\n");
    s.vPosition = 15;
    EXPECT_EQ(BuildVPosition(session.panelSettings).line, "PV15\r\n");

    session.lineMode = 1;
    session.slaveNo = 3;
    EXPECT_FALSE(session.Dispatch(BuildHPosition(session.panelSettings)));
    EXPECT_EQ(port.lines, std::vector<std::string>{"03PH08\r\n"});
}

TEST_F(CommandSetTest, BlankColourLineShowsOneBoxAndKeepsThePortOpen) {
    s.charColor[2][4] = s.edgeColor[2][4] = 8;
    s.charColor[2][5] = s.edgeColor[2][5] = 8;
    s.charColor[2][6] = 12;  // the blank check comes first
    EXPECT_TRUE(session.Dispatch(BuildColourPage(session.panelSettings, 2)));
    ASSERT_EQ(seam.texts(), std::vector<std::string>{"Miss! Can't Set"});
    EXPECT_EQ(seam.boxes()[0].caption, "Error");
    EXPECT_EQ(seam.boxes()[0].icon, BoxIcon::Hand);
    EXPECT_TRUE(port.lines.empty());
    EXPECT_FALSE(port.closed);
    EXPECT_FALSE(session.Dispatch(BuildHPosition(session.panelSettings)));
    EXPECT_EQ(port.lines.size(), 1u);
}

TEST_F(CommandSetTest, OutOfRangeValuesAreRejectedNotSent) {
    s.displayTime[4] = 120;
    Command c = BuildDisplayTimeAll(session.panelSettings);
    EXPECT_EQ(c.rejection, Rejection::OutOfRange);
    EXPECT_EQ(c.message, "Value out of range: display time of page 5 is 120 (0..99)");
    EXPECT_TRUE(c.line.empty());

    s.edgeColor[1][2] = -1;
    EXPECT_EQ(BuildColourPage(session.panelSettings, 1).message,
              "Value out of range: border colour of page 2 line 3 is -1 (0..8)");
    s.blinkMode[0][0] = 5;
    EXPECT_EQ(BuildBlinkPage(session.panelSettings, 0).rejection, Rejection::OutOfRange);
    s.hPosition = 16;
    EXPECT_EQ(BuildHPosition(session.panelSettings).message, "Value out of range: horizontal position is 16 (0..15)");
    s.vPosition = -2;
    EXPECT_EQ(BuildVPosition(session.panelSettings).rejection, Rejection::OutOfRange);
    session.currentPage = 32;
    EXPECT_EQ(BuildPageSelect(session.panelSettings, session.currentPage).rejection, Rejection::OutOfRange);
    EXPECT_EQ(BuildFillBorderPage(session.panelSettings, 32).rejection, Rejection::OutOfRange);

    EXPECT_TRUE(session.Dispatch(BuildDisplayTimeAll(session.panelSettings)));
    EXPECT_TRUE(port.lines.empty());
    EXPECT_EQ(session.replyPending, 0);
    ASSERT_EQ(seam.boxes().size(), 1u);
    EXPECT_EQ(seam.boxes()[0].icon, BoxIcon::Exclamation);
}

// Every page index and slave number a caller can pass is refused or used;
// none overflows or reaches the wire unchecked.
TEST_F(CommandSetTest, PagesAndSlavesOutsideTheirRangeAreRefused) {
    for (int page : {INT_MIN, -1, 32, INT_MAX}) {
        const std::string shown = std::to_string(static_cast<long long>(page) + 1);
        for (const Command& c : {BuildTextCommand(s, 'A', page), BuildFillBorderPage(s, page),
                                 BuildColourPage(s, page), BuildBlinkPage(s, page)}) {
            EXPECT_EQ(c.rejection, Rejection::OutOfRange) << page;
            EXPECT_EQ(c.message, "Value out of range: page number is " + shown + " (1..32)");
            EXPECT_TRUE(c.line.empty());
        }
        std::string text = "kept";
        EXPECT_FALSE(MakePageText(s, page, &text));
        EXPECT_EQ(text, "kept");
        EXPECT_TRUE(session.Dispatch(BuildBlinkPage(s, page)));
    }
    EXPECT_TRUE(port.lines.empty());

    session.lineMode = 1;
    seam.clear();
    for (int slave : {INT_MIN, -1, 32, 99, INT_MAX}) {
        session.slaveNo = slave;
        EXPECT_EQ(SlavePrefix(1, slave), "") << slave;
        EXPECT_FALSE(session.SendCommand("PH08\r\n"));
        EXPECT_FALSE(session.Dispatch(BuildHPosition(s)));  // built, but refused on the way out
    }
    EXPECT_TRUE(port.lines.empty());
    EXPECT_EQ(session.replyPending, 0);
    ASSERT_EQ(seam.boxes().size(), 10u);
    EXPECT_EQ(seam.boxes()[4].text, "Value out of range: slave number is 32 (0..31)");
    EXPECT_EQ(seam.boxes()[4].icon, BoxIcon::Exclamation);

    session.slaveNo = 31;
    EXPECT_TRUE(session.SendCommand("PH08\r\n"));
    EXPECT_EQ(session.replyPending, 1);
    EXPECT_EQ(port.lines, std::vector<std::string>{"31PH08\r\n"});
}

}  // namespace
}  // namespace kvt

namespace kvt {
namespace {

// Slave lists as the bus commands and the simulated sign take them.
TEST(SlaveListTest, TakesNumbersAndRangesWithinTheLastSlave) {
    const struct {
        const char* text;
        int last;
        std::set<int> slaves;  // empty: refused
    } cases[] = {
        {"0", 31, {0}},           {"31", 31, {31}},        {"0,3,5-7", 31, {0, 3, 5, 6, 7}},
        {"05,5", 31, {5}},        {"7-7", 31, {7}},        {"32", 31, {}},
        {"30-32", 31, {}},        {"99", 99, {99}},        {"100", 99, {}},
        {"", 31, {}},             {"1,", 31, {}},          {",1", 31, {}},
        {"1,,2", 31, {}},         {"5-3", 31, {}},         {"-3", 31, {}},
        {"1-", 31, {}},           {"001", 31, {}},         {"a", 31, {}},
        {" 1", 31, {}},           {"1-2-3", 31, {}},
    };
    for (const auto& c : cases) {
        std::set<int> slaves;
        const bool taken = ParseSlaveList(c.text, c.last, &slaves);
        EXPECT_EQ(taken, !c.slaves.empty()) << c.text;
        if (taken) {
            EXPECT_EQ(slaves, c.slaves) << c.text;
        }
    }
    EXPECT_EQ(SlaveListNeed(31), "slave numbers 0..31 like 0,3,5-9");
    EXPECT_EQ(TwoDigits(5), "05");
    EXPECT_EQ(TwoDigits(31), "31");
}

}  // namespace
}  // namespace kvt
