#include <gtest/gtest.h>

#include "protocol/read_back_decoders.h"
#include "session/session.h"
#include "settings/panel_settings.h"
#include "support/recording_seam.h"

namespace kvt {
namespace {

// Records the session's errorReply at the moment a box is shown.
class FlagSeam : public test::RecordingSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        errorAtBox.push_back(session->errorReply);
        return RecordingSeam::Show(box);
    }
    Session* session = nullptr;
    std::vector<int> errorAtBox;
};

class ReplyTest : public ::testing::Test {
protected:
    void SetUp() override { seam.session = &session; }
    FlagSeam seam;
    Session session{&seam};
};

TEST_F(ReplyTest, GoShowsSuccessOnlyOutsideARun) {
    session.replyPending = 1;
    session.replyWaitTicks = 4;
    session.InterpretReply("GO\r\n");
    EXPECT_EQ(session.replyPending, 0);
    EXPECT_EQ(session.replyWaitTicks, 0);
    ASSERT_EQ(seam.texts(), std::vector<std::string>{"Success"});
    EXPECT_EQ(seam.boxes()[0].caption, "設定完了");

    session.transferStep = 12;
    session.replyPending = 1;
    session.InterpretReply("GO\r\n");
    EXPECT_EQ(session.replyPending, 0);
    EXPECT_EQ(seam.boxes().size(), 1u);
}

TEST_F(ReplyTest, Rs485PrefixIsDroppedWhateverItsNumber) {
    session.lineMode = 1;
    session.InterpretReply("05GO\r\n");
    session.InterpretReply("17GO\r\n");
    session.InterpretReply("G");  // shorter than the prefix: empty text, dropped
    EXPECT_EQ(seam.texts(), (std::vector<std::string>{"Success", "Success"}));
    session.InterpretReply("03PH12\r\n");
    EXPECT_EQ(session.panelSettings.hPosition, 12);
    session.lineMode = 0;
    session.InterpretReply("05GO\r\n");  // unrecognised in RS-232C mode
    EXPECT_EQ(seam.boxes().size(), 2u);
}

TEST_F(ReplyTest, ErrorRepliesSetTheFlagBeforeTheirBox) {
    const std::pair<const char*, const char*> cases[] = {
        {"GN\r\n", "Mode Error"},     {"MENU\r\n", "Menu Display"},
        {"E0\r\n", "Framing Error"},  {"E1\r\n", "Parity Error"},
        {"E2\r\n", "Over Run Error"}, {"E3\r\n", "Command Error"},
    };
    for (const auto& c : cases) {
        session.errorReply = 0;
        session.InterpretReply(c.first);
        EXPECT_EQ(session.errorReply, 1);
        EXPECT_EQ(seam.texts().back(), c.second);
        EXPECT_EQ(seam.boxes().back().icon, BoxIcon::Hand);
        SignError error;
        ASSERT_TRUE(ErrorReplyOf(c.first, &error));
        EXPECT_EQ(SignErrorText(error), std::string(c.second));
    }
    EXPECT_EQ(seam.errorAtBox, std::vector<int>(6, 1));
}

TEST_F(ReplyTest, UnrecognisedLinesClearTheFlagPLinesKeepIt) {
    session.errorReply = 1;
    session.InterpretReply("PX\r\n");  // a "P" line of no known form
    session.InterpretReply("PTXYZ\r\n");
    EXPECT_EQ(session.errorReply, 1);
    session.InterpretReply("GO \r\n");  // trailing blank
    EXPECT_EQ(session.errorReply, 0);
    session.errorReply = 1;
    session.InterpretReply("E1\r\n\r\n");
    EXPECT_EQ(session.errorReply, 0);
    EXPECT_TRUE(seam.boxes().empty());
    session.InterpretReply(std::string("GO\r\n\0junk", 10));  // bytes after a NUL do not count
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Success"});
}

TEST_F(ReplyTest, ReadBackRepliesReachTheirDecoders) {
    session.InterpretReply("PTWL" + std::string(32, 'L') + "\r\n");
    session.InterpretReply("PV03\r\n");
    session.InterpretReply("P?5?\r\n");
    session.InterpretReply("P03BDLTNNNNNNN\r\n");
    session.InterpretReply("P04CLT?11223344556677\r\n");
    EXPECT_EQ(session.panelSettings.whiteLevel[31], 0);
    EXPECT_EQ(session.panelSettings.vPosition, 3);
    EXPECT_EQ(session.currentPage, 4);
    EXPECT_EQ(session.panelSettings.blinkMode[2][6], 1);
    EXPECT_EQ(session.panelSettings.charColor[3][6], 7);
    EXPECT_TRUE(seam.boxes().empty());
    EXPECT_EQ(session.errorReply, 0);
}

TEST_F(ReplyTest, NoConnectOnTheSeventhTickOnce) {
    session.replyPending = 1;
    for (int tick = 1; tick <= 6; ++tick) session.ReplyTimeoutTick();
    EXPECT_TRUE(seam.boxes().empty());
    session.ReplyTimeoutTick();
    ASSERT_EQ(seam.texts(), std::vector<std::string>{"No Connect"});
    EXPECT_EQ(session.replyPending, 0);
    for (int tick = 0; tick < 20; ++tick) session.ReplyTimeoutTick();
    EXPECT_EQ(seam.boxes().size(), 1u);

    // A reply in time restarts the count for the next command.
    session.replyPending = 1;
    for (int tick = 0; tick < 5; ++tick) session.ReplyTimeoutTick();
    session.InterpretReply("GO\r\n");
    session.replyPending = 1;
    for (int tick = 0; tick < 6; ++tick) session.ReplyTimeoutTick();
    EXPECT_EQ(seam.texts().back(), "Success");
}

}  // namespace
}  // namespace kvt
