#include "app/app_icons.h"

#include <QPainter>

namespace kvt {

namespace {

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
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap sign = AppIconPixmap(size);
    p.drawPixmap(QRectF(s * 0.2, s * 0.32, s * 0.6, s * 0.6), sign, QRectF(sign.rect()));
    return pixmap;
}

}  // namespace

QPixmap AppIconPixmap(int size) { return AppIcon().pixmap(size, size); }

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/kvt540m.png").arg(size));
    return icon;
}

QIcon DocumentIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(DocumentPixmap(size));
    return icon;
}

}  // namespace kvt
