// Values quoted back in messages: at most 40 characters, then "...", never
// cut inside a UTF-8 sequence.
#include "text/clipped.h"

#include <gtest/gtest.h>

namespace {

std::string Times(int n, const std::string& unit) {
    std::string text;
    for (int i = 0; i < n; ++i) text += unit;
    return text;
}

TEST(Clipped, CutsAfterFortyCharactersOfAnyLength) {
    const struct {
        std::string value;
        std::string clipped;
    } cases[] = {
        {"", ""},
        {"COM1", "COM1"},
        {Times(40, "a"), Times(40, "a")},
        {Times(41, "a"), Times(40, "a") + "..."},
        {Times(100000, "a"), Times(40, "a") + "..."},
        {Times(40, "あ"), Times(40, "あ")},  // 120 bytes, 40 characters
        {Times(39, "a") + "あい", Times(39, "a") + "あ..."},  // not cut inside "あ"
        {Times(41, "😀"), Times(40, "😀") + "..."},
        // Bytes that start no sequence count one each; a lead byte keeps
        // only the continuation bytes it announces.
        {Times(50, "\x80"), Times(40, "\x80") + "..."},
        {Times(50, "\xE3\x81"), Times(40, "\xE3\x81") + "..."},
        {Times(30, "\xC3\xA9\xA9"), Times(20, "\xC3\xA9\xA9") + "..."},
    };
    for (const auto& c : cases) EXPECT_EQ(kvt::Clipped(c.value), c.clipped) << c.value.size();
}

}  // namespace
