#include <gtest/gtest.h>

#include <set>

#include "protocol/jis.h"

using kvt::JisToShiftJis;
using kvt::ToJisCode;

namespace {
bool InIbmExtension(unsigned sjis) { return sjis >= 0xFA40 && sjis <= 0xFC4B; }
}  // namespace

TEST(Jis, KnownCodes) {
    EXPECT_EQ(ToJisCode(0x82A0), 0x2422u);  // あ
    EXPECT_EQ(ToJisCode(0x8140), 0x2121u);  // full-width space
    EXPECT_EQ(ToJisCode(0x889F), 0x3021u);  // first level-1 kanji
    EXPECT_EQ(ToJisCode(0xFA40), 0x7C71u);  // small Roman one
    EXPECT_EQ(ToJisCode(0xFA49), 0x7C7Au);
    EXPECT_EQ(ToJisCode(0xFA55), 0x7C7Cu);
    EXPECT_EQ(ToJisCode(0xFA5C), 0x7921u);  // same as its twin 0xED40
    EXPECT_EQ(ToJisCode(0xED40), 0x7921u);
    EXPECT_EQ(ToJisCode(0xFC4B), ToJisCode(0xEEEC));
    EXPECT_EQ(JisToShiftJis(0x2121), 0x8140u);
    EXPECT_EQ(JisToShiftJis(0x2422), 0x82A0u);
    EXPECT_EQ(JisToShiftJis(0x7C7E), 0xEEFCu);
    EXPECT_EQ(JisToShiftJis(0x7E7E), 0xEFFCu);
}

TEST(Jis, Rejections) {
    for (unsigned code : {0x4142u, 0x0000u, 0x8100u, 0x813Fu, 0x817Fu, 0x81FDu, 0xA0A0u, 0xB1B2u,
                          0xF040u, 0xF9FCu, 0xFA4Au, 0xFA54u, 0xFA58u, 0xFA5Bu, 0xFA7Fu, 0xFC4Cu,
                          0xFCFCu, 0xFD40u, 0x10000u + 0x82A0u}) {
        EXPECT_EQ(ToJisCode(code), 0u) << std::hex << code;
    }
    for (unsigned code : {0x2100u, 0x2020u, 0x7F21u, 0x217Fu, 0x0u, 0x12422u}) {
        EXPECT_EQ(JisToShiftJis(code), 0u) << std::hex << code;
    }
}

// Outside the IBM extension the conversion is a bijection between the
// accepted Shift-JIS codes and JIS rows 1..94, undone by JisToShiftJis.
TEST(Jis, WholeRangeRoundTrip) {
    std::set<unsigned> seen;
    for (unsigned sjis = 0; sjis <= 0xFFFF; ++sjis) {
        const unsigned jis = ToJisCode(sjis);
        if (jis == 0 || InIbmExtension(sjis)) continue;
        ASSERT_GE(jis & 0xFF, 0x21u);
        ASSERT_LE(jis & 0xFF, 0x7Eu);
        ASSERT_EQ(JisToShiftJis(jis), sjis) << std::hex << sjis;
        ASSERT_TRUE(seen.insert(jis).second);
    }
    EXPECT_EQ(seen.size(), 94u * 94u);
}

// The IBM extension lands in rows 89..92 on distinct codes whose Shift-JIS
// twin lies in the NEC-selected area.
TEST(Jis, IbmExtensionRemap) {
    std::set<unsigned> seen;
    for (unsigned sjis = 0xFA40; sjis <= 0xFC4B; ++sjis) {
        const unsigned jis = ToJisCode(sjis);
        if (jis == 0) continue;
        ASSERT_GE(jis, 0x7921u);
        ASSERT_LE(jis, 0x7C7Eu);
        const unsigned twin = JisToShiftJis(jis);
        ASSERT_GE(twin, 0xED40u);
        ASSERT_LE(twin, 0xEEFCu);
        ASSERT_TRUE(seen.insert(jis).second) << std::hex << sjis;
    }
    EXPECT_EQ(seen.size(), 10u + 3u + 360u);
}
