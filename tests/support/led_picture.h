// Test helpers: the colours a picture of a page must show, said apart from
// the code that draws it, for the colour samples (tests/data/colours.dat:
// every character colour with every border colour, a line each, 7 lines a
// page; pages 1-12 without fill, pages 13-24 with every line filled).
#pragma once

#include <QColor>
#include <QImage>
#include <set>
#include <string>

namespace kvt::test {

constexpr int kSampleBlank = 8;  // "ブランク": draws nothing of its layer

// The LED of colour index 0..7: black a dark diode, the others the red,
// green and blue diodes they light; at white level Low a lit diode shines
// at half of every channel.
inline QRgb LedOf(int colour, bool low) {
    static const QRgb kLit[8] = {qRgb(40, 40, 40),   qRgb(255, 0, 0),   qRgb(0, 255, 0),
                                 qRgb(255, 255, 0),  qRgb(0, 0, 255),   qRgb(255, 0, 255),
                                 qRgb(0, 255, 255),  qRgb(255, 255, 255)};
    const QRgb rgb = kLit[colour];
    if (!low || colour == 0) return rgb;
    return qRgb((qRed(rgb) + 1) / 2, (qGreen(rgb) + 1) / 2, (qBlue(rgb) + 1) / 2);
}

// Colours as "#rrggbb", in order, for comparing and printing.
inline std::string Named(const std::set<QRgb>& colours) {
    std::string names;
    for (QRgb rgb : colours) names += QColor(rgb).name().toStdString() + " ";
    return names;
}

// The colours of the dots of line `line` (16 dot rows) of a picture at
// `scale` pixels a dot, each dot taken at its middle.
inline std::string LineColours(const QImage& picture, int scale, int line) {
    std::set<QRgb> colours;
    for (int y = line * 16; y < (line + 1) * 16; ++y)
        for (int x = 0; x * scale < picture.width(); ++x)
            colours.insert(picture.pixel(x * scale + scale / 2, y * scale + scale / 2) | 0xFF000000);
    return Named(colours);
}

// What line `line` of page `page` (0-based) of the colour samples must
// show: the strokes in the character colour, the border (and the fill) in
// the border colour, the rest dark.
inline std::string SampleLineColours(int page, int line, bool low) {
    const int sample = page % 12 * 7 + line;
    if (page >= 24 || sample >= 81) return Named({LedOf(0, low)});
    const int character = sample / 9, border = sample % 9;
    std::set<QRgb> colours;
    if (page < 12 || border == kSampleBlank) colours.insert(LedOf(0, low));
    if (border != kSampleBlank) colours.insert(LedOf(border, low));
    if (character != kSampleBlank) colours.insert(LedOf(character, low));
    return Named(colours);
}

}  // namespace kvt::test
