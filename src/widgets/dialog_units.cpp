#include "widgets/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace kvt {

namespace {

// Average width of the 52 Latin letters, rounded as the dialog manager does.
int BaseUnitX(const QFont& font) {
    QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

int BaseUnitY(const QFont& font) { return QFontMetrics(font).height(); }

// MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) { return (a * b * 2 + c) / (2 * c); }

}  // namespace

QFont DialogFont() {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPixelSize(12);
    return font;
}

QFont FixedGothicFont(int cellHeightPixels) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(cellHeightPixels);
    return font;
}

QRect DialogRect(const QFont& font, int x, int y, int w, int h) {
    int bx = BaseUnitX(font), by = BaseUnitY(font);
    return QRect(MulDiv(x, bx, 4), MulDiv(y, by, 8), MulDiv(w, bx, 4), MulDiv(h, by, 8));
}

QSize DialogSize(const QFont& font, int w, int h) {
    QRect r = DialogRect(font, 0, 0, w, h);
    return r.size();
}

}  // namespace kvt
