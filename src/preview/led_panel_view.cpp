#include "preview/led_panel_view.h"

#include <algorithm>

#include <QPainter>

#include "render/led_colours.h"
#include "render/page_image.h"

namespace kvt {

namespace {
constexpr int kMinimumScale = 2;
constexpr int kPreferredScale = 3;
}  // namespace

LedPanelView::LedPanelView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ledPanel"));
    setMinimumSize(kPanelDotsWide * kMinimumScale, kPanelDotsHigh * kMinimumScale);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize LedPanelView::sizeHint() const {
    return QSize(kPanelDotsWide * kPreferredScale, kPanelDotsHigh * kPreferredScale);
}

int LedPanelView::scale() const {
    const int fit = std::min(width() / kPanelDotsWide, height() / kPanelDotsHigh);
    return std::clamp(fit, kMinScale, kMaxScale);
}

void LedPanelView::SetDots(const DotPage& dots) {
    dots_ = dots;
    stale_ = true;
    update();
}

void LedPanelView::paintEvent(QPaintEvent*) {
    if (stale_ || picture_.width() != kPanelDotsWide * scale()) {
        picture_ = PaintDotPage(dots_, scale());
        stale_ = false;
    }
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kPanelRgb));
    const QPoint corner((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    painter.drawImage(corner, picture_);
}

}  // namespace kvt
