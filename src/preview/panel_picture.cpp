#include "preview/panel_picture.h"

#include <QPainter>

#include "widgets/dialog_units.h"

namespace kvt {

namespace {

const QColor kPanel(255, 255, 204);
const QColor kSwitchFrame(34, 34, 34);
const QColor kGreyText(80, 80, 80);
const QColor kGreen(0, 255, 0);
const QColor kDarkGrey(128, 128, 128);

// A filled rectangle covers its left and top edges, not its right and
// bottom ones.
void FillBox(QPainter& p, int left, int top, int right, int bottom, const QColor& colour) {
    p.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), colour);
}

// A 3-pixel solid pen along a horizontal line: the rows y-1..y+1.
void WideLine(QPainter& p, int x1, int x2, int y, const QColor& colour) {
    p.fillRect(QRect(QPoint(x1, y - 1), QPoint(x2, y + 1)), colour);
}

// Dark grey fill inside a 1-pixel black outline.
void OutlinedBlock(QPainter& p, int left, int top, int right, int bottom) {
    QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
    p.fillRect(box, kDarkGrey);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
}

// Text with its top-left corner at (x, y), transparent background.
void TextAt(QPainter& p, int x, int y, const QString& text, const QColor& colour) {
    p.setPen(colour);
    p.drawText(QRect(x, y, 2000, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

// A stand-in for the system font: 16-pixel cells, drawn without smoothing
// like a bitmap font, so every text pixel has the text's colour.
QFont PictureFont() {
    QFont font = FixedGothicFont(16);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace

void DrawPanelPicture(QPainter& p, const QString& fileName) {
    p.setRenderHint(QPainter::Antialiasing, false);
    FillBox(p, 0, 0, 630, 132, kPanel);
    FillBox(p, 486, 60, 504, 96, Qt::black);
    FillBox(p, 504, 42, 576, 114, Qt::black);
    FillBox(p, 516, 45, 525, 111, kSwitchFrame);
    FillBox(p, 516, 45, 564, 54, kSwitchFrame);
    FillBox(p, 555, 45, 564, 111, kSwitchFrame);
    FillBox(p, 516, 102, 564, 111, kSwitchFrame);
    WideLine(p, 12, 513, 24, kGreyText);
    WideLine(p, 567, 618, 24, kGreyText);
    for (int y = 70; y <= 85; y += 3) WideLine(p, 492, 510, y, kGreen);
    OutlinedBlock(p, 60, 133, 120, 155);
    OutlinedBlock(p, 510, 133, 570, 155);

    p.setFont(PictureFont());
    TextAt(p, 190, 2, QStringLiteral("KVT-540-M INFORMATION SCROLLER"), kGreyText);
    TextAt(p, 480, 42, QStringLiteral("ON"), kGreyText);
    TextAt(p, 477, 99, QStringLiteral("OFF"), kGreyText);
    TextAt(p, 519, 18, QStringLiteral("POWER"), kGreyText);
    TextAt(p, 150, 132, QStringLiteral("File Name ") + fileName, kGreyText);
    TextAt(p, 534, 60, QStringLiteral("Ι"), Qt::white);
    TextAt(p, 534, 81, QStringLiteral("○"), Qt::white);
}

void DrawBlankCaption(QPainter& p) {
    QString text = QStringLiteral("File Name") + QString(46, QLatin1Char(' '));
    p.setFont(PictureFont());
    QRect box = p.fontMetrics().boundingRect(QRect(150, 132, 2000, 40),
                                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    box.setWidth(p.fontMetrics().horizontalAdvance(text));
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace kvt
