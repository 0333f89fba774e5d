#include "editor/stacked_tab_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabWidget>

namespace kvt {

namespace {
constexpr int kCaptionPadding = 8;  // pixels each side of a caption
}

StackedTabBar::StackedTabBar(QTabWidget* tabs, QWidget* parent) : QWidget(parent), tabs_(tabs) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(tabs_, &QTabWidget::currentChanged, this, qOverload<>(&QWidget::update));
}

void StackedTabBar::SetRowWidth(int width) {
    width_ = width;
    updateGeometry();
}

int StackedTabBar::RowHeight() const { return fontMetrics().height() + 8; }

QSize StackedTabBar::sizeHint() const { return QSize(width_, Rows().size() * RowHeight()); }

QVector<QVector<int>> StackedTabBar::Rows() const {
    QVector<QVector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < tabs_->count(); ++i) {
        const int w = fontMetrics().horizontalAdvance(tabs_->tabText(i)) + 2 * kCaptionPadding;
        if (used > 0 && used + w > width_) {
            rows.append(QVector<int>());
            used = 0;
        }
        rows.last().append(i);
        used += w;
    }
    return rows;
}

QRect StackedTabBar::TabRect(int index) const {
    const QVector<QVector<int>> rows = Rows();
    int currentRow = 0;
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r].contains(tabs_->currentIndex())) currentRow = r;
    for (int r = 0; r < rows.size(); ++r) {
        const int at = rows[r].indexOf(index);
        if (at < 0) continue;
        // Rows after the current one go to the top; the current row is last.
        const int shown = (r - currentRow - 1 + rows.size()) % rows.size();
        int natural = 0;
        for (int i : rows[r]) natural += fontMetrics().horizontalAdvance(tabs_->tabText(i));
        // Each row is stretched to the full width, its spare room shared out.
        const int spare = width_ - natural;
        int x = 0;
        for (int k = 0; k < at; ++k)
            x += fontMetrics().horizontalAdvance(tabs_->tabText(rows[r][k])) +
                 spare / rows[r].size();
        int w = fontMetrics().horizontalAdvance(tabs_->tabText(index)) + spare / rows[r].size();
        if (at == rows[r].size() - 1) w = width_ - x;
        return QRect(x, shown * RowHeight(), w, RowHeight());
    }
    return QRect();
}

void StackedTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < tabs_->count(); ++i) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.rect = TabRect(i);
        option.text = tabs_->tabText(i);
        option.shape = QTabBar::RoundedNorth;
        option.position = QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        if (i == tabs_->currentIndex()) option.state |= QStyle::State_Selected;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void StackedTabBar::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < tabs_->count(); ++i) {
        if (!TabRect(i).contains(event->position().toPoint())) continue;
        tabs_->setCurrentIndex(i);  // the sheet may refuse the change
        update();
        return;
    }
}

}  // namespace kvt
