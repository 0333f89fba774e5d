#include "preview/page_preview_window.h"

#include <algorithm>
#include <sstream>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "profile/profile.h"
#include "preview/led_panel_view.h"
#include "protocol/slave_list.h"
#include "render/dot_page.h"

namespace kvt {

namespace {


QString TwoDigitPage(int page) {
    return QString::fromStdString(TwoDigits(page + 1));
}

bool OnSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(frame)) return true;
    return false;
}

}  // namespace

PagePreviewWindow::PagePreviewWindow(const PanelSettings& settings, const int& selectedPage,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), selectedPage_(selectedPage) {
    setObjectName(QStringLiteral("pagePreview"));
    setWindowTitle(tr("プレビュー"));
    monotonic_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &PagePreviewWindow::Wake);

    panel_ = new LedPanelView(this);
    play_ = new QPushButton(tr("再生"), this);
    play_->setObjectName(QStringLiteral("playButton"));
    play_->setCheckable(true);
    connect(play_, &QPushButton::toggled, this, &PagePreviewWindow::OnPlayToggled);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("previewStatus"));
    auto* note = new QLabel(tr("表示は目安です。実際の表示器とドット単位で一致するとは限りません。"), this);
    note->setObjectName(QStringLiteral("previewNote"));
    note->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(play_);
    controls->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_, 1);
    layout->addLayout(controls);
    layout->addWidget(note);
}

void PagePreviewWindow::SetClock(Clock clock) {
    clock_ = std::move(clock);
    if (!isVisible()) return;
    // Times of the old clock mean nothing on the new one: start afresh.
    const int64_t now = Now();
    timeline_.Start(now, timeline_.playing(), settings_, selectedPage_);
    Draw(now);
}

int64_t PagePreviewWindow::Now() const { return clock_ ? clock_() : monotonic_.elapsed(); }

void PagePreviewWindow::Refresh() {
    if (!isVisible()) return;  // drawn afresh when shown
    const int64_t now = Now();
    timeline_.Update(now, settings_, selectedPage_);
    Draw(now);
}

void PagePreviewWindow::Wake() {
    ++wakeCount_;
    Refresh();
}

void PagePreviewWindow::Open() {
    if (!placed_) RestoreGeometry();
    placed_ = true;
    show();
    raise();
    activateWindow();
}

void PagePreviewWindow::SetPlaying(bool playing) { play_->setChecked(playing); }

void PagePreviewWindow::OnPlayToggled(bool playing) {
    if (!isVisible()) return;  // a hidden window starts still when shown
    const int64_t now = Now();
    timeline_.Start(now, playing, settings_, selectedPage_);
    Draw(now);
}

// The picture of the moment, and a wake-up for its next change, if any.
void PagePreviewWindow::Draw(int64_t now) {
    blinkLit_ = timeline_.blinkLit(now);
    panel_->SetDots(BuildDotPage(settings_, timeline_.page(), font_, blinkLit_));
    ShowStatus();
    if (const auto wake = timeline_.nextWake(now, settings_))
        wake_.start(static_cast<int>(std::max<int64_t>(0, *wake - now)));
    else
        wake_.stop();
}

void PagePreviewWindow::ShowStatus() {
    play_->setText(timeline_.playing() ? tr("停止") : tr("再生"));
    const int page = timeline_.page();
    if (page < 0) {
        status_->setText(tr("Sequence: 表示するページがありません"));
        return;
    }
    QString text = QStringLiteral("Page ") + TwoDigitPage(page);
    if (timeline_.playing() && settings_.sequenceMode != 0)
        text = tr("Sequence: Page %1 (%2 秒)")
                   .arg(TwoDigitPage(page))
                   .arg(settings_.displayTime[page]);
    status_->setText(text);
}

void PagePreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {  // back from minimised: catch up
        Refresh();
        return;
    }
    const int64_t now = Now();
    timeline_.Start(now, play_->isChecked(), settings_, selectedPage_);
    Draw(now);
}

void PagePreviewWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    wake_.stop();  // nobody sees it blink or play
    if (event->spontaneous()) return;  // minimised: the window still counts as open
    play_->setChecked(false);
    SaveGeometry();
}

// The place and size kept in the profile, or beside the main window.
void PagePreviewWindow::RestoreGeometry() {
    std::istringstream saved(ReadProfileString(kPreviewGeometryKey));
    int x, y, w, h;
    if (saved >> x >> y >> w >> h) {
        resize(QSize(w, h).expandedTo(minimumSizeHint()));
        if (OnSomeScreen(QRect(x, y, w, h))) {
            move(x, y);
            return;
        }
    }
    if (QWidget* main = parentWidget()) move(main->frameGeometry().topRight() + QPoint(1, 0));
}

void PagePreviewWindow::SaveGeometry() const {
    const QPoint at = pos();
    WriteProfileString(kPreviewGeometryKey, QStringLiteral("%1 %2 %3 %4")
                                         .arg(at.x()).arg(at.y()).arg(width()).arg(height())
                                         .toStdString());
}

}  // namespace kvt
