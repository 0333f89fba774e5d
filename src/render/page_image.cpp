#include "render/page_image.h"

#include <algorithm>
#include <vector>

#include "render/led_colours.h"

namespace kvt {

namespace {

// Share (0..255) of each pixel of a dot's square that the disc covers,
// from 4 x 4 samples per pixel.
std::vector<int> DiscCoverage(int scale) {
    std::vector<int> cover(scale * scale, 255);
    if (scale < 3) return cover;
    const double centre = scale / 2.0;
    const double radius = scale * 0.42;
    for (int py = 0; py < scale; ++py)
        for (int px = 0; px < scale; ++px) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = px + (sx + 0.5) / 4 - centre;
                    const double dy = py + (sy + 0.5) / 4 - centre;
                    if (dx * dx + dy * dy <= radius * radius) ++inside;
                }
            cover[py * scale + px] = inside * 255 / 16;
        }
    return cover;
}

QRgb Blend(QRgb over, QRgb under, int cover) {
    auto mix = [cover](int a, int b) { return (a * cover + b * (255 - cover) + 127) / 255; };
    return qRgb(mix(qRed(over), qRed(under)), mix(qGreen(over), qGreen(under)),
                mix(qBlue(over), qBlue(under)));
}

}  // namespace

QImage PaintDotPage(const DotPage& dots, int scale) {
    scale = std::clamp(scale, kMinScale, kMaxScale);
    const std::vector<int> cover = DiscCoverage(scale);
    // The pixels of one dot's square, for each colour index.
    std::vector<QRgb> sprites(kBlankColour * scale * scale);
    for (int c = 0; c < kBlankColour; ++c)
        for (int i = 0; i < scale * scale; ++i)
            sprites[c * scale * scale + i] = Blend(LedRgb(c, dots.whiteLevel), kPanelRgb, cover[i]);

    QImage image(kPanelDotsWide * scale, kPanelDotsHigh * scale, QImage::Format_RGB32);
    for (int y = 0; y < kPanelDotsHigh; ++y)
        for (int py = 0; py < scale; ++py) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y * scale + py));
            for (int x = 0; x < kPanelDotsWide; ++x) {
                const QRgb* sprite = &sprites[(dots.At(x, y) * scale + py) * scale];
                std::copy(sprite, sprite + scale, line + x * scale);
            }
        }
    return image;
}

QImage RenderPage(const PanelSettings& s, int page, DotFont& font, int scale, bool blinkLit) {
    return PaintDotPage(BuildDotPage(s, page, font, blinkLit), scale);
}

}  // namespace kvt
