// The serial link over a real pty: line framing, the RS-485 prefix both
// ways, open failures, a sign that goes away, and closing in every state.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <thread>

#include "link/pty_partner.h"
#include "serial/command_port.h"
#include "serial/line_framer.h"
#include "serial/reply_queue.h"
#include "serial/serial_link.h"
#include "session/session.h"
#include "support/recording_seam.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

constexpr auto kSettle = milliseconds(60);  // lets the reader take one read

class LinkOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        link.SetConsumer([this](const std::string& line) { lines.Push(line); });
        link.OpenPort(partner.path());
        ASSERT_EQ(link.state(), SerialLink::State::Open) << testing::PrintToString(seam.texts());
        link.StartReadThread();
    }

    // The next line the link handed over, or "<none>".
    std::string NextLine(milliseconds within = milliseconds(1000)) {
        std::string line;
        return lines.PopUntil(Clock::now() + within, &line) ? line : "<none>";
    }

    test::RecordingSeam seam;
    test::PtyPartner partner;
    ReplyQueue lines;
    Session session{&seam};
    SerialLink& link = session.link();
};

// The line settings as the device holds them, against the sign's fixed
// values (not against what the link asked for): 38400 bit/s both ways,
// 8 data bits, 1 stop bit, RTS/CTS and XON/XOFF, raw. A pty drops the
// parity bit, so parity cannot be seen here.
TEST_F(LinkOnPty, DeviceHoldsTheSignsLineSettings) {
    const termios tio = partner.Settings();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B38400));
    EXPECT_EQ(cfgetispeed(&tio), speed_t(B38400));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x11);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
    EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
}

TEST_F(LinkOnPty, LineEndsOnlyWhenAReadEndsInLineFeed) {
    // A reply in two reads is handed over once, whole.
    partner.Send("G");
    std::this_thread::sleep_for(kSettle);
    partner.Send("O\r\n");
    EXPECT_EQ(NextLine(), "GO\r\n");

    // Two replies in one read make one line.
    partner.Send("GO\r\nGO\r\n");
    EXPECT_EQ(NextLine(), "GO\r\nGO\r\n");

    // A reply followed by part of the next completes nothing until a later
    // read ends in LF; then both parts are one line.
    partner.Send("GO\r\nE");
    EXPECT_EQ(NextLine(milliseconds(200)), "<none>");
    partner.Send("3\r\n");
    EXPECT_EQ(NextLine(), "GO\r\nE3\r\n");
    EXPECT_EQ(lines.size(), 0u);
}

TEST_F(LinkOnPty, OverlongNoiseIsDroppedWholeAndTheNextReplyPasses) {
    partner.Send(std::string(1200, 'x'));  // several reads of at most 500
    std::this_thread::sleep_for(kSettle);
    partner.Send("\r\n");
    EXPECT_EQ(NextLine(milliseconds(300)), "<none>");
    partner.Send("GO\r\n");
    EXPECT_EQ(NextLine(), "GO\r\n");
}

TEST(LineFramer, KeepsA499ByteLineAndDropsA500ByteOne) {
    LineFramer framer;
    std::string line;
    std::string longest = std::string(497, 'C') + "\r\n";
    EXPECT_TRUE(framer.Feed(longest.data(), 200, &line) == false);
    ASSERT_TRUE(framer.Feed(longest.data() + 200, longest.size() - 200, &line));
    EXPECT_EQ(line, longest);

    std::string tooLong = std::string(498, 'C') + "\r\n";
    EXPECT_FALSE(framer.Feed(tooLong.data(), tooLong.size(), &line));
    // Nothing of the dropped line sticks to the next one.
    ASSERT_TRUE(framer.Feed("GO\r\n", 4, &line));
    EXPECT_EQ(line, "GO\r\n");

    // No bytes are no read; a line with nowhere to go is dropped.
    EXPECT_FALSE(framer.Feed(nullptr, 3, &line));
    EXPECT_FALSE(framer.Feed("E3\r\n", 4, nullptr));
    ASSERT_TRUE(framer.Feed("GN\r\n", 4, &line));
    EXPECT_EQ(line, "GN\r\n");
}

TEST_F(LinkOnPty, SlavePrefixGoesOutAndIsRemovedFromReplies) {
    session.lineMode = 1;
    session.slaveNo = 5;
    session.SendCommand("RP\r\n");
    EXPECT_EQ(partner.Receive(6), "05RP\r\n");
    EXPECT_EQ(session.replyPending.load(), 1);
    session.slaveNo = 31;
    session.SendCommand("PH08\r\n");
    EXPECT_EQ(partner.Receive(8), "31PH08\r\n");
    session.lineMode = 0;
    session.SendCommand("RP\r\n");
    EXPECT_EQ(partner.Receive(4), "RP\r\n");  // raw: CR LF untouched

    // The whole way back: reply line, prefix removed, "Success".
    session.lineMode = 1;
    partner.Send("07GO\r\n");
    std::string line = NextLine();
    EXPECT_EQ(line, "07GO\r\n");
    session.InterpretReply(line);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});
    EXPECT_EQ(session.replyPending.load(), 0);
}

TEST_F(LinkOnPty, CloseLinkReturnsPromptlyWhileTheReaderWaits) {
    std::this_thread::sleep_for(kSettle);
    const auto start = Clock::now();
    link.CloseLink();
    EXPECT_LT(Clock::now() - start, milliseconds(100));
    EXPECT_EQ(link.state(), SerialLink::State::Closed);
    link.CloseLink();  // twice is harmless
    session.SendCommand("PH08\r\n");  // goes nowhere
    EXPECT_EQ(partner.Receive(1, milliseconds(100)), "");

    // The same device opens again, and the new reader starts afresh.
    link.OpenPort(partner.path());
    link.StartReadThread();
    partner.Send("GO\r\n");
    EXPECT_EQ(NextLine(), "GO\r\n");
}

TEST_F(LinkOnPty, SignThatGoesAwayLeavesTheLinkFailedWithoutSpinning) {
    partner.Vanish();
    const auto deadline = Clock::now() + milliseconds(2000);
    while (link.state() != SerialLink::State::Failed && Clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(10));
    ASSERT_EQ(link.state(), SerialLink::State::Failed);

    // One second in the Failed state costs (next to) no CPU time.
    EXPECT_LT(test::CpuMicrosWhileSleeping(milliseconds(1000)), 20000L);

    session.SendCommand("PH08\r\n");  // nowhere, but it still waits for a reply
    EXPECT_EQ(session.replyPending.load(), 1);
    const auto start = Clock::now();
    link.CloseLink();
    EXPECT_LT(Clock::now() - start, milliseconds(100));
}

TEST_F(LinkOnPty, WriteGivesUpAfterTheWriteTimeOut) {
    // Nobody reads the far end: the driver's queue fills and stays full.
    const auto start = Clock::now();
    link.WritePort(std::string(1 << 20, 'x'));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(950));
    EXPECT_LT(took, milliseconds(1300));
}

// A link whose boxes are recorded.
class LinkOpen : public ::testing::Test {
protected:
    test::RecordingSeam seam;
    Session session{&seam};
    SerialLink& link = session.link();
};

TEST_F(LinkOpen, MissingDeviceGivesTheFiveMessagesInOrder) {
    link.OpenPort("/dev/kvt-no-such-port");
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{"Miss! File Open", "Miss! Mask Set",
                                                       "Miss! Buffer Set", "Miss! Time Out Set",
                                                       "Miss! Set Comm State"}));
    for (const BoxRequest& box : seam.boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(link.state(), SerialLink::State::Failed);
    // The program runs on: the reader starts, sends go nowhere.
    link.StartReadThread();
    link.CloseLink();
}

TEST_F(LinkOpen, NonTerminalFailsFromTheFirstTerminalStep) {
    link.OpenPort("/dev/null");
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{"Miss! Mask Set", "Miss! Buffer Set",
                                                       "Miss! Time Out Set", "Miss! Set Comm State"}));
    EXPECT_EQ(link.state(), SerialLink::State::Failed);
}

}  // namespace
}  // namespace kvt
