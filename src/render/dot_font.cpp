#include "render/dot_font.h"

#include <algorithm>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "settings/cp932.h"

namespace kvt {

namespace {

// The em square is one dot smaller than the cell, so that the strokes keep a
// dot free around them for the border colour.
constexpr int kEmDots = kCellHeight - 1;
// A dot is lit when the glyph covers at least this share of it (of 255):
// below one half, so that strokes about one dot wide that fall between two
// dots still light one of them.
constexpr int kInkThreshold = 102;

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::vector<std::string> SplitCp932(const std::string& text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        const bool lead = IsLeadByte(static_cast<unsigned char>(text[i]));
        const size_t n = lead && i + 1 < text.size() ? 2 : 1;
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

DotFont::DotFont() : font_(QStringLiteral("IPAGothic")) {
    font_.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                       QStringLiteral("monospace")});
    font_.setPixelSize(kEmDots);
    font_.setHintingPreference(QFont::PreferNoHinting);
    // A full-width ideograph sits in the middle of the cell; every other
    // character shares its baseline.
    const QRectF ink = QFontMetricsF(font_).tightBoundingRect(QStringLiteral("国"));
    baseline_ = kCellHeight / 2.0 - (ink.top() + ink.bottom()) / 2.0;
}

QString DotFont::family() const { return QFontInfo(font_).family(); }

const DotGlyph& DotFont::Glyph(const std::string& cp932Char) {
    auto found = glyphs_.find(cp932Char);
    if (found == glyphs_.end()) found = glyphs_.emplace(cp932Char, Draw(cp932Char)).first;
    return found->second;
}

DotGlyph DotFont::Draw(const std::string& cp932Char) const {
    DotGlyph glyph;
    glyph.width = cp932Char.size() == 2 ? kFullWidth : kHalfWidth;
    const QString text = QString::fromStdString(Cp932ToUtf8(cp932Char));
    // Spaces and control bytes light nothing.
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() && !c.isSpace(); }))
        return glyph;

    QImage cell(glyph.width, kCellHeight, QImage::Format_Grayscale8);
    cell.fill(0);
    QPainter painter(&cell);
    painter.setFont(font_);
    painter.setPen(Qt::white);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double advance = QFontMetricsF(font_).horizontalAdvance(text);
    painter.drawText(QPointF((glyph.width - advance) / 2.0, baseline_), text);
    painter.end();

    for (int y = 0; y < kCellHeight; ++y) {
        const uchar* line = cell.constScanLine(y);
        for (int x = 0; x < glyph.width; ++x)
            if (line[x] >= kInkThreshold) glyph.rows[y] |= uint16_t(1u << x);
    }
    return glyph;
}

}  // namespace kvt
