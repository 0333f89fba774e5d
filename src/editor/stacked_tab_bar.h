// Tabs in as many rows as their captions need, all visible at once, for a
// QTabWidget whose own (single-row, scrolling) bar is hidden. As with the
// stacked tabs of a property sheet, the row holding the current tab is the
// one next to the page.
#pragma once

#include <QVector>
#include <QWidget>

class QTabWidget;

namespace kvt {

class StackedTabBar : public QWidget {
    Q_OBJECT
public:
    StackedTabBar(QTabWidget* tabs, QWidget* parent);
    // The width of the rows: that of the tab widget below them.
    void SetRowWidth(int width);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The tab's rectangle as drawn now (the rows move with the current tab).
    QRect TabRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Tabs of each row, in order, filled left to right.
    QVector<QVector<int>> Rows() const;
    int RowHeight() const;

    QTabWidget* tabs_;
    int width_ = 0;
};

}  // namespace kvt
