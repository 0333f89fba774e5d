#include <gtest/gtest.h>

#include "serial/reply_interpreter.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "support/recording_seam.h"

namespace kvt {
namespace {

// Records errorReply at the moment a box is shown.
class FlagSeam : public test::RecordingSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        errorAtBox.push_back(errorReply);
        return RecordingSeam::Show(box);
    }
    std::vector<int> errorAtBox;
};

class ReplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        ResetReplyState();
        lineMode = 0;
    }
    FlagSeam seam;
};

TEST_F(ReplyTest, GoShowsSuccessOnlyOutsideARun) {
    replyPending = 1;
    replyWaitTicks = 4;
    InterpretReply("GO\r\n");
    EXPECT_EQ(replyPending, 0);
    EXPECT_EQ(replyWaitTicks, 0);
    ASSERT_EQ(seam.texts(), std::vector<std::string>{"Success"});
    EXPECT_EQ(seam.boxes()[0].caption, "設定完了");

    transferStep = 12;
    replyPending = 1;
    InterpretReply("GO\r\n");
    EXPECT_EQ(replyPending, 0);
    EXPECT_EQ(seam.boxes().size(), 1u);
}

TEST_F(ReplyTest, Rs485PrefixIsDroppedWhateverItsNumber) {
    lineMode = 1;
    InterpretReply("05GO\r\n");
    InterpretReply("17GO\r\n");
    InterpretReply("G");  // shorter than the prefix: empty text, dropped
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{"Success", "Success"}));
    InterpretReply("03PH12\r\n");
    EXPECT_EQ(panelSettings.hPosition, 12);
    lineMode = 0;
    InterpretReply("05GO\r\n");  // unrecognised in RS-232C mode
    EXPECT_EQ(seam.boxes().size(), 2u);
}

TEST_F(ReplyTest, ErrorRepliesSetTheFlagBeforeTheirBox) {
    const std::pair<const char*, const char*> cases[] = {
        {"GN\r\n", "Mode Error"},     {"MENU\r\n", "Menu Display"},
        {"E0\r\n", "Framing Error"},  {"E1\r\n", "Parity Error"},
        {"E2\r\n", "Over Run Error"}, {"E3\r\n", "Command Error"},
    };
    for (const auto& c : cases) {
        errorReply = 0;
        InterpretReply(c.first);
        EXPECT_EQ(errorReply, 1);
        EXPECT_EQ(seam.texts().back(), c.second);
        EXPECT_EQ(seam.boxes().back().icon, BoxIcon::Hand);
        EXPECT_EQ(ErrorReplyMessage(c.first), c.second);
    }
    EXPECT_EQ(seam.errorAtBox, std::vector<int>(6, 1));
}

TEST_F(ReplyTest, UnrecognisedLinesClearTheFlagPLinesKeepIt) {
    errorReply = 1;
    InterpretReply("PX\r\n");  // a "P" line of no known form
    InterpretReply("PTXYZ\r\n");
    EXPECT_EQ(errorReply, 1);
    InterpretReply("GO \r\n");  // trailing blank
    EXPECT_EQ(errorReply, 0);
    errorReply = 1;
    InterpretReply("E1\r\n\r\n");
    EXPECT_EQ(errorReply, 0);
    EXPECT_TRUE(seam.boxes().empty());
    InterpretReply(std::string("GO\r\n\0junk", 10));  // bytes after a NUL do not count
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});
}

TEST_F(ReplyTest, ReadBackRepliesReachTheirDecoders) {
    InterpretReply("PTWL" + std::string(32, 'L') + "\r\n");
    InterpretReply("PV03\r\n");
    InterpretReply("P?5?\r\n");
    InterpretReply("P03BDLTNNNNNNN\r\n");
    InterpretReply("P04CLT?11223344556677\r\n");
    EXPECT_EQ(panelSettings.whiteLevel[31], 0);
    EXPECT_EQ(panelSettings.vPosition, 3);
    EXPECT_EQ(currentPage, 4);
    EXPECT_EQ(panelSettings.blinkMode[2][6], 1);
    EXPECT_EQ(panelSettings.charColor[3][6], 7);
    EXPECT_TRUE(seam.boxes().empty());
    EXPECT_EQ(errorReply, 0);
}

TEST_F(ReplyTest, NoConnectOnTheSeventhTickOnce) {
    replyPending = 1;
    for (int tick = 1; tick <= 6; ++tick) ReplyTimeoutTick();
    EXPECT_TRUE(seam.boxes().empty());
    ReplyTimeoutTick();
    ASSERT_EQ(seam.texts(), std::vector<std::string>{"No Connect"});
    EXPECT_EQ(replyPending, 0);
    for (int tick = 0; tick < 20; ++tick) ReplyTimeoutTick();
    EXPECT_EQ(seam.boxes().size(), 1u);

    // A reply in time restarts the count for the next command.
    replyPending = 1;
    for (int tick = 0; tick < 5; ++tick) ReplyTimeoutTick();
    InterpretReply("GO\r\n");
    replyPending = 1;
    for (int tick = 0; tick < 6; ++tick) ReplyTimeoutTick();
    EXPECT_EQ(seam.texts().back(), "Success");
}

}  // namespace
}  // namespace kvt
