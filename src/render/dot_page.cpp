#include "render/dot_page.h"

#include <vector>

#include "render/led_colours.h"

namespace kvt {

namespace {

// The stroke dots of one line, kPanelDotsWide x kCellHeight.
using LineMask = std::vector<bool>;

bool Filled(const PanelSettings& s, int page, int line) { return (s.fillMask[page] >> line) & 1; }

LineMask StrokeDots(const std::string& text, DotFont& font) {
    LineMask strokes(kPanelDotsWide * kCellHeight, false);
    int left = 0;
    for (const std::string& ch : SplitCp932(text)) {
        if (left >= kPanelDotsWide) break;
        const DotGlyph& glyph = font.Glyph(ch);
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = 0; x < glyph.width && left + x < kPanelDotsWide; ++x)
                if (glyph.At(x, y)) strokes[y * kPanelDotsWide + left + x] = true;
        left += glyph.width;
    }
    return strokes;
}

// A dot that is no stroke but touches one, sideways or corner to corner.
bool BorderDot(const LineMask& strokes, int x, int y) {
    if (strokes[y * kPanelDotsWide + x]) return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && nx < kPanelDotsWide && ny >= 0 && ny < kCellHeight &&
                strokes[ny * kPanelDotsWide + nx])
                return true;
        }
    return false;
}

void DrawLine(const PanelSettings& s, int page, int line, DotFont& font, DotPage* dots) {
    const int charColour = s.charColor[page][line];
    const int edgeColour = s.edgeColor[page][line];
    const bool fill = Filled(s, page, line) && Drawn(edgeColour);
    const LineMask strokes = StrokeDots(s.lineText[page][line], font);
    uint8_t* row0 = &dots->colour[line * kCellHeight * kPanelDotsWide];
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kPanelDotsWide; ++x) {
            int colour = kBlackColour;
            if (fill) colour = edgeColour;
            if (Drawn(edgeColour) && BorderDot(strokes, x, y)) colour = edgeColour;
            if (Drawn(charColour) && strokes[y * kPanelDotsWide + x]) colour = charColour;
            row0[y * kPanelDotsWide + x] = static_cast<uint8_t>(colour);
        }
}

}  // namespace

bool LineHasContent(const PanelSettings& s, int page, int line) {
    return !s.lineText[page][line].empty() || Filled(s, page, line);
}

bool PageIsEmpty(const PanelSettings& s, int page) {
    for (int k = 0; k < kLineCount; ++k)
        if (LineHasContent(s, page, k)) return false;
    return true;
}

DotPage BuildDotPage(const PanelSettings& s, int page, DotFont& font, bool blinkLit) {
    DotPage dots;
    if (page < 0 || page >= kPageCount) return dots;  // a page number only a bad file holds
    dots.whiteLevel = s.whiteLevel[page];
    for (int k = 0; k < kLineCount; ++k) {
        if (!blinkLit && s.blinkMode[page][k] != 0) continue;
        DrawLine(s, page, k, font, &dots);
    }
    return dots;
}

}  // namespace kvt
