// Pictures of pages: which colour a known dot takes for the character and
// border colours, fill bordering, blank, the white level and the blink, the
// grid of full- and half-width cells, and the pixels of a dot at a scale.
#include <gtest/gtest.h>

#include "render/led_colours.h"
#include "render/page_image.h"
#include "settings/cp932.h"

using namespace kvt;

namespace {

constexpr int kRed = 1, kGreen = 2, kYellow = 3, kBlue = 4, kCyan = 6, kWhite = 7;

PanelSettings Defaults() {
    PanelSettings settings;
    ResetPanelSettings(&settings);
    return settings;
}

std::string Cp932(const char* utf8) {
    std::string bytes;
    EXPECT_TRUE(Utf8ToCp932(utf8, &bytes)) << utf8;
    return bytes;
}

// Dot (x, y) of line `line`.
int DotOfLine(const DotPage& dots, int line, int x, int y) {
    return dots.At(x, line * kCellHeight + y);
}

// The topmost row of column x of the line that shows the colour, or -1.
int TopRowOf(const DotPage& dots, int line, int x, int colour) {
    for (int y = 0; y < kCellHeight; ++y)
        if (DotOfLine(dots, line, x, y) == colour) return y;
    return -1;
}

class PagePicture : public ::testing::Test {
protected:
    PanelSettings s = Defaults();
    DotFont font;
    const std::string square = Cp932("■");
};

// A full-width square: its middle dot is a stroke, the dot above its top
// stroke and the dot off its top left corner the border, and the dot above
// that the panel or the fill.
TEST_F(PagePicture, StrokesBordersAndFillTakeTheirColours) {
    const struct {
        int charColour, edgeColour;
        bool fill;
        int middle, border, around;  // expected colours
    } lines[] = {
        {kRed, kGreen, false, kRed, kGreen, kBlackColour},
        {kBlue, kYellow, true, kBlue, kYellow, kYellow},
        {kBlankColour, kWhite, false, kBlackColour, kWhite, kBlackColour},  // outline only
        {kBlankColour, kWhite, true, kWhite, kWhite, kWhite},  // the fill shows through
        {kCyan, kBlankColour, true, kCyan, kBlackColour, kBlackColour},  // no fill, no border
        {kBlackColour, kRed, true, kBlackColour, kRed, kRed},  // dark strokes cut the fill
    };
    const int count = sizeof lines / sizeof lines[0];
    for (int k = 0; k < count; ++k) {
        s.lineText[0][k] = square;
        s.charColor[0][k] = lines[k].charColour;
        s.edgeColor[0][k] = lines[k].edgeColour;
        if (lines[k].fill) s.fillMask[0] |= 1 << k;
    }
    const DotPage dots = BuildDotPage(s, 0, font);
    // Every line has the same square; line 1's red strokes show where it starts.
    const int top = TopRowOf(dots, 0, 8, kRed);
    ASSERT_GE(top, 2);
    int left = 0;
    while (left < 8 && DotOfLine(dots, 0, left, top) != kRed) ++left;
    ASSERT_GE(left, 1);
    ASSERT_EQ(TopRowOf(dots, 0, left, kRed), top);  // so (left - 1, top - 1) touches a corner only
    for (int k = 0; k < count; ++k) {
        SCOPED_TRACE("line " + std::to_string(k + 1));
        EXPECT_EQ(DotOfLine(dots, k, 8, 8), lines[k].middle);
        EXPECT_EQ(DotOfLine(dots, k, 8, top - 1), lines[k].border);
        EXPECT_EQ(DotOfLine(dots, k, left - 1, top - 1), lines[k].border);
        EXPECT_EQ(DotOfLine(dots, k, 8, top - 2), lines[k].around);
        // Far right of the text: the line's background only.
        EXPECT_EQ(DotOfLine(dots, k, kPanelDotsWide - 1, 8), lines[k].around);
    }
    // Lines without text or fill stay dark.
    EXPECT_EQ(DotOfLine(dots, 6, 8, 8), kBlackColour);
}

TEST_F(PagePicture, CellsAreSixteenDotsForTwoBytesAndEightForOne) {
    s.edgeColor[0][0] = kBlankColour;
    s.lineText[0][0] = square;
    s.edgeColor[0][1] = kBlankColour;
    s.lineText[0][1] = "i" + square;  // the square one half cell to the right
    s.lineText[0][2] = std::string(16, 'M');      // 128 dots: fits
    s.lineText[0][3] = Cp932("■■■■■■■■■■■■■■■■");  // 16 squares, 14 fit
    s.lineText[0][4] = square + "\x82";  // a lead byte with nothing after it
    const DotPage dots = BuildDotPage(s, 0, font);
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kFullWidth; ++x)
            ASSERT_EQ(DotOfLine(dots, 0, x, y), DotOfLine(dots, 1, x + kHalfWidth, y))
                << x << "," << y;
    auto strokesIn = [&](int line, int left, int width) {
        int n = 0;
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = left; x < left + width; ++x) n += DotOfLine(dots, line, x, y) == kWhite;
        return n;
    };
    EXPECT_GT(strokesIn(2, 15 * kHalfWidth, kHalfWidth), 0);  // the 16th M
    EXPECT_EQ(strokesIn(2, 16 * kHalfWidth, kPanelDotsWide - 16 * kHalfWidth), 0);
    EXPECT_EQ(DotOfLine(dots, 3, 13 * kFullWidth + 8, 8), kWhite);  // the 14th square
    EXPECT_EQ(DotOfLine(dots, 4, 8, 8), kWhite);
}

TEST_F(PagePicture, TheDarkHalfOfTheBlinkBlanksOnlyBlinkingLines) {
    for (int k = 0; k < 3; ++k) s.lineText[0][k] = square;
    s.blinkMode[0][1] = 2;
    s.blinkMode[0][2] = 4;
    s.fillMask[0] = 0b100;
    s.edgeColor[0][2] = kRed;
    const DotPage lit = BuildDotPage(s, 0, font, true);
    const DotPage dark = BuildDotPage(s, 0, font, false);
    EXPECT_EQ(DotOfLine(lit, 1, 8, 8), kWhite);
    EXPECT_EQ(DotOfLine(lit, 2, kPanelDotsWide - 1, 0), kRed);
    EXPECT_EQ(DotOfLine(dark, 0, 8, 8), kWhite);
    EXPECT_EQ(DotOfLine(dark, 1, 8, 8), kBlackColour);
    EXPECT_EQ(DotOfLine(dark, 2, 8, 8), kBlackColour);  // the fill goes dark too
    EXPECT_EQ(DotOfLine(dark, 2, kPanelDotsWide - 1, 0), kBlackColour);
}

TEST_F(PagePicture, BadPageNumbersAndColoursDrawNothing) {
    s.lineText[0][0] = square;
    s.charColor[0][0] = 9;
    s.edgeColor[0][0] = -1;
    EXPECT_EQ(BuildDotPage(s, 0, font).At(8, 8), kBlackColour);
    EXPECT_EQ(BuildDotPage(s, kPageCount, font).At(8, 8), kBlackColour);
}

// The pixel in the middle of dot (x, y) at the scale.
QRgb Middle(const QImage& image, int scale, int x, int y) {
    return image.pixel(x * scale + scale / 2, y * scale + scale / 2);
}

TEST_F(PagePicture, DotsArePaintedRoundAtTheirScaleAndDimmedAtLow) {
    DotPage dots;
    dots.colour[0] = kRed;
    dots.colour[1] = kWhite;
    for (int scale : {1, 2, 5, 16}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const QImage image = PaintDotPage(dots, scale);
        EXPECT_EQ(image.size(), QSize(kPanelDotsWide * scale, kPanelDotsHigh * scale));
        EXPECT_EQ(Middle(image, scale, 0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(Middle(image, scale, 1, 0), qRgb(255, 255, 255));
        const QRgb unlit = Middle(image, scale, 2, 0);
        EXPECT_EQ(unlit, LedRgb(kBlackColour, 1));
        EXPECT_GT(qGray(unlit), 0);
        // Round dots from scale 3: the corners of the square are panel.
        EXPECT_EQ(image.pixel(scale - 1, scale - 1), scale >= 3 ? kPanelRgb : qRgb(255, 0, 0));
    }
    dots.whiteLevel = 0;
    const QImage low = PaintDotPage(dots, 4);
    EXPECT_EQ(Middle(low, 4, 0, 0), qRgb(128, 0, 0));
    EXPECT_EQ(Middle(low, 4, 1, 0), qRgb(128, 128, 128));
    EXPECT_EQ(Middle(low, 4, 2, 0), LedRgb(kBlackColour, 1));  // a dark diode is not dimmed
}

TEST_F(PagePicture, RenderPageDrawsThePageOfTheStore) {
    s.lineText[3][0] = square;
    s.charColor[3][0] = kGreen;
    s.whiteLevel[3] = 0;
    const QImage image = RenderPage(s, 3, font, 4);
    EXPECT_EQ(Middle(image, 4, 8, 8), qRgb(0, 128, 0));
    EXPECT_EQ(Middle(RenderPage(s, 3, font, 4, false), 4, 8, 8), qRgb(0, 128, 0));  // no blink set
    EXPECT_EQ(Middle(RenderPage(s, 2, font, 4), 4, 8, 8), LedRgb(kBlackColour, 1));
}

}  // namespace
