#include <gtest/gtest.h>

#include "protocol/read_back_decoders.h"
#include "session/session.h"

namespace kvt {
namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

class DecoderTest : public ::testing::Test {
protected:
    Session session;
    PanelSettings& s = session.panelSettings;
};

TEST_F(DecoderTest, TextReplyLines) {
    s.lineText[0][3] = "old";
    DecodeTextReply("CA01" "2422" + Repeat("2121", 97) + "\r\n", &session.panelSettings);
    EXPECT_EQ(s.lineText[0][0], "\x82\xA0");
    for (int k = 1; k < kLineCount; ++k) EXPECT_EQ(s.lineText[0][k], "") << k;

    // Line 1: codes above 0x7C7E become spaces and are kept; line 2 is cut
    // at 0x2100; line 3 holds lower-case hex; line 7 is full.
    std::string body = "2422" + Repeat("7D21", 13);
    body += "2422" "2100" "2422" + Repeat("2121", 11);
    body += "3a21" + Repeat("2121", 13);
    body += Repeat("2121", 14 * 3);
    body += Repeat("2422", 14);
    DecodeTextReply("CA32" + body + "\r\n", &session.panelSettings);
    EXPECT_EQ(s.lineText[31][0], "\x82\xA0" + Repeat("\x81\x40", 13));
    EXPECT_EQ(s.lineText[31][1], "\x82\xA0");
    EXPECT_EQ(s.lineText[31][2], "\x8D\x9F");
    EXPECT_EQ(s.lineText[31][6], Repeat("\x82\xA0", 14));
    EXPECT_EQ(s.lineText[0][0], "\x82\xA0");  // other pages untouched
}

TEST_F(DecoderTest, ShortOrOutOfRangeRepliesAreIgnoredWhole) {
    s.lineText[0][0] = "x";
    DecodeTextReply("CA01" + Repeat("2422", 97) + "242\r\n", &session.panelSettings);
    DecodeTextReply("CA00" + Repeat("2422", 98) + "\r\n", &session.panelSettings);
    DecodeTextReply("CA33" + Repeat("2422", 98) + "\r\n", &session.panelSettings);
    EXPECT_EQ(s.lineText[0][0], "x");
    DecodeDisplayTimeReply("PTCT" + Repeat("11", 31) + "1\r\n", &session.panelSettings);
    DecodeFillBorderReply("PTFB" + std::string(31, 'N') + "\r\n", &session.panelSettings);
    DecodeWhiteLevelReply("PTWL\r\n", &session.panelSettings);
    DecodeHPositionReply("PH1\r\n", &session.panelSettings);
    DecodeVPositionReply("PV", &session.panelSettings);
    DecodeBlinkReply("P01BDLTNNNNNN\r\n", &session.panelSettings);
    DecodeBlinkReply("P33BDLTNNNNNNN\r\n", &session.panelSettings);
    DecodeColourReply("P01CLT?1111111111111\r\n", &session.panelSettings);
    DecodeColourReply("P00CLT?11111111111111\r\n", &session.panelSettings);
    session.currentPage = 4;
    DecodePageReply("P?0?\r\n", &session.currentPage);
    DecodePageReply("P?Q?\r\n", &session.currentPage);
    PanelSettings defaults = s;
    session.ResetSettings();
    s.lineText[0][0] = "x";
    EXPECT_EQ(session.currentPage, 0);
    for (int p = 0; p < kPageCount; ++p) {
        EXPECT_EQ(defaults.displayTime[p], 2);
        EXPECT_EQ(defaults.fillMask[p], 0);
        EXPECT_EQ(defaults.whiteLevel[p], 1);
        EXPECT_EQ(defaults.blinkMode[p][0], 0);
        EXPECT_EQ(defaults.charColor[p][0], 7);
    }
    EXPECT_EQ(defaults.hPosition, 8);
    EXPECT_EQ(defaults.vPosition, 8);
}

TEST_F(DecoderTest, AllPageAndPositionReplies) {
    s.fillMask[0] = 0x7F;
    DecodeFillBorderReply("PTFBNn" + std::string(30, 'X') + "\r\n", &session.panelSettings);
    EXPECT_EQ(s.fillMask[0], 1);
    EXPECT_EQ(s.fillMask[1], 0);
    DecodeWhiteLevelReply("PTWL" + std::string(31, 'L') + "H\r\n", &session.panelSettings);
    EXPECT_EQ(s.whiteLevel[0], 0);
    EXPECT_EQ(s.whiteLevel[31], 1);
    DecodeDisplayTimeReply("PTCT99" + Repeat("05", 31) + "\r\n", &session.panelSettings);
    EXPECT_EQ(s.displayTime[0], 99);
    EXPECT_EQ(s.displayTime[31], 5);
    DecodeHPositionReply("PH12\r\n", &session.panelSettings);
    EXPECT_EQ(s.hPosition, 12);
    DecodePageReply("P?P?\r\n", &session.currentPage);
    EXPECT_EQ(session.currentPage, 31);
}

TEST_F(DecoderTest, BlinkAndColourOfOnePage) {
    s.blinkMode[2][0] = 3;
    DecodeBlinkReply("P03BDLTXXNXXXX\r\n", &session.panelSettings);
    for (int k = 0; k < kLineCount; ++k) EXPECT_EQ(s.blinkMode[2][k], k == 2 ? 1 : 0);
    DecodeColourReply("P32CLT?70123456788880\r\n", &session.panelSettings);
    EXPECT_EQ(s.charColor[31][0], 7);
    EXPECT_EQ(s.edgeColor[31][0], 0);
    EXPECT_EQ(s.charColor[31][6], 8);
    EXPECT_EQ(s.edgeColor[31][6], 0);
    EXPECT_EQ(s.charColor[30][0], 7);
}

}  // namespace
}  // namespace kvt
