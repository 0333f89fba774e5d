// Characters as LED dots: each character of a line takes a cell 16 dots
// high, 16 wide for a two-byte (full-width) character and 8 wide for a
// one-byte (half-width) one. The dots come from the Japanese Gothic the
// windows use, drawn into the cell and thresholded.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QFont>

namespace kvt {

constexpr int kCellHeight = 16;
constexpr int kFullWidth = 16;
constexpr int kHalfWidth = 8;

struct DotGlyph {
    int width = kHalfWidth;                  // 8 or 16
    std::array<uint16_t, kCellHeight> rows{};  // bit x of row y: dot (x, y) lit

    bool At(int x, int y) const { return (rows[y] >> x) & 1; }
};

// The characters of a code-page-932 byte string: a lead byte and the byte
// after it make one character, any other byte is one by itself.
std::vector<std::string> SplitCp932(const std::string& text);

class DotFont {
public:
    // Needs a QGuiApplication (any platform, offscreen included).
    DotFont();

    // The dots of one character of SplitCp932. Kept once drawn.
    const DotGlyph& Glyph(const std::string& cp932Char);

    // The family the font system gave (IPAGothic where it is installed).
    QString family() const;

private:
    DotGlyph Draw(const std::string& cp932Char) const;

    QFont font_;
    double baseline_ = 0;  // in dots from the top of the cell
    std::map<std::string, DotGlyph> glyphs_;
};

}  // namespace kvt
