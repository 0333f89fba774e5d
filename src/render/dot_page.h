// One page of the store as LED dots: seven lines of 16 dot rows on a panel
// 14 full-width characters wide.
#pragma once

#include <array>
#include <cstdint>

#include "render/dot_font.h"
#include "settings/panel_settings.h"

namespace kvt {

constexpr int kPanelDotsWide = 14 * kFullWidth;
constexpr int kPanelDotsHigh = kLineCount * kCellHeight;

struct DotPage {
    int whiteLevel = 1;  // of the page: 0 Low, otherwise High
    // Colour index 0..7 of every dot, row by row; 0 (black) is a dark diode.
    std::array<uint8_t, kPanelDotsWide * kPanelDotsHigh> colour{};

    int At(int x, int y) const { return colour[y * kPanelDotsWide + x]; }
};

// Line k of page p shows anything: it has text, or it is filled.
bool LineHasContent(const PanelSettings& s, int page, int line);
// No line of the page has content.
bool PageIsEmpty(const PanelSettings& s, int page);

// Page `page` (0..31; any other number gives a dark page) as the sign
// shows it. Per line, from the bottom up:
// the fill (fill bordering on: every dot of the line in the border colour),
// the border (the dots around the characters' strokes, in the border
// colour), the strokes in the character colour. Blank ("ブランク") leaves
// its layer out. blinkLit false: the dark half of the blink, in which lines
// with a blink setting show nothing. Text beyond the panel's width is cut.
DotPage BuildDotPage(const PanelSettings& s, int page, DotFont& font, bool blinkLit = true);

}  // namespace kvt
