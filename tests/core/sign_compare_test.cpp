// What verify compares: the values as a read-back can tell them.
#include "transfer/sign_compare.h"

#include <gtest/gtest.h>

namespace kvt {
namespace {

// Page 1 of a sign that shows white level High, fill bordering and a
// blinking line 1, against files that hold other values for it.
TEST(SignCompare, ValuesCountAsTheSignShowsThem) {
    const struct {
        int whiteLevel, fillMask, blink;  // page 1 (line 1) of the file
        std::vector<std::string> differences;
    } cases[] = {
        {1, 1, 1, {}},
        {2, 0x45, 3, {}},  // any white level but 0 shows as High; fill and blink are on or off
        {-1, 0x7F, 4, {}},
        {0, 1, 1, {"page 01 white level: file Low (0), sign High (1)"}},
        {1,
         0,
         0,
         {"page 01 line 1 blink: file off, sign on", "page 01 fill bordering: file off, sign on"}},
    };
    PanelSettings sign;
    ResetPanelSettings(&sign);
    sign.whiteLevel[0] = 1;
    sign.fillMask[0] = 1;
    sign.blinkMode[0][0] = 1;
    for (const auto& c : cases) {
        PanelSettings file = sign;
        file.whiteLevel[0] = c.whiteLevel;
        file.fillMask[0] = c.fillMask;
        file.blinkMode[0][0] = c.blink;
        EXPECT_EQ(CompareWithSign(file, 0, sign, 0), c.differences) << c.whiteLevel;
    }
}

}  // namespace
}  // namespace kvt
