#include "app/app_icons.h"

#include <QPainter>

namespace kvt {

namespace {

// The panel: pale yellow face, dark border, three coloured text rows and a
// black power switch on the right.
void DrawPanel(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(60, 60, 60), r.width() / 32.0));
    p.setBrush(QColor(255, 255, 204));
    p.drawRect(r);
    const QColor rows[] = {QColor(220, 0, 0), QColor(0, 160, 0), QColor(230, 160, 0)};
    qreal rowH = r.height() / 8.0;
    for (int i = 0; i < 3; ++i) {
        QRectF row(r.left() + r.width() * 0.1, r.top() + rowH * (1.5 + 2 * i), r.width() * 0.55, rowH);
        p.fillRect(row, rows[i]);
    }
    p.fillRect(QRectF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.3, r.width() * 0.15,
                      r.height() * 0.4),
               Qt::black);
}

QPixmap DocumentPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    qreal s = size;
    QPolygonF sheet({QPointF(s * 0.15, s * 0.05), QPointF(s * 0.65, s * 0.05), QPointF(s * 0.85, s * 0.25),
                     QPointF(s * 0.85, s * 0.95), QPointF(s * 0.15, s * 0.95)});
    p.setPen(QPen(QColor(80, 80, 80), s / 32.0));
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    DrawPanel(p, QRectF(s * 0.22, s * 0.45, s * 0.56, s * 0.36));
    return pixmap;
}

}  // namespace

QPixmap AppIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawPanel(p, QRectF(size * 0.06, size * 0.2, size * 0.88, size * 0.6));
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(AppIconPixmap(size));
    return icon;
}

QIcon DocumentIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(DocumentPixmap(size));
    return icon;
}

}  // namespace kvt
