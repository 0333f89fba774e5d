// The picture of the preview window: a page of LED dots, at the largest
// whole number of pixels per dot that fits, in the middle of a black field.
#pragma once

#include <QImage>
#include <QWidget>

#include "render/dot_page.h"

namespace kvt {

class LedPanelView : public QWidget {
    Q_OBJECT
public:
    explicit LedPanelView(QWidget* parent = nullptr);

    // Shows these dots from the next paint on.
    void SetDots(const DotPage& dots);
    // The picture as last painted (null before the first paint).
    const QImage& picture() const { return picture_; }
    int scale() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DotPage dots_;
    QImage picture_;
    bool stale_ = true;
};

}  // namespace kvt
