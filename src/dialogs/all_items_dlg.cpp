#include "transfer/all_items_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_controls.h"

namespace kvt {

CAllItemsDlg::CAllItemsDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialog(this, 144, QStringLiteral("全項目の設定"), 163, 45);
    QPushButton* start = PlaceButton(this, 1041, QStringLiteral("全項目の設定"), 10, 15, 50, 14);
    connect(start, &QPushButton::clicked, this, &CAllItemsDlg::OnStart);
    counter_ = PlaceNumberBox(this, 1024, 60, 15, 20, 14);
    QPushButton* close = PlaceButton(this, 2, QStringLiteral("閉じる"), 100, 15, 50, 14);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    timer2_.setObjectName(QStringLiteral("timer2"));
    timer2_.setTimerType(Qt::PreciseTimer);
    connect(&timer2_, &QTimer::timeout, this, &CAllItemsDlg::OnTick);
}

CAllItemsDlg::~CAllItemsDlg() {
    timer2_.stop();
    if (run_.running()) run_.Abort();
}

void CAllItemsDlg::OnStart() {
    if (!run_.Start()) return;  // a run (this one or another) is going on
    closed_ = false;
    timer2_.start(kAllItemsSlowPeriodMs);
}

void CAllItemsDlg::OnTick() {
    // A tick that shows a message box runs a nested event loop; no other
    // tick of the run may run before the box is closed.
    if (inTick_) return;
    inTick_ = true;
    RunTick tick = run_.Tick();
    inTick_ = false;
    if (closed_) {
        run_.Abort();  // the dialog was closed while this tick's box was open
        return;
    }
    if (tick.stepDone > 0) counter_->setText(QString::number(tick.stepDone));
    switch (tick.outcome) {
    case RunTick::Outcome::Continue:
        if (tick.periodChanged) timer2_.start(tick.periodMs);
        break;
    case RunTick::Outcome::StoppedOnError:
        timer2_.stop();
        break;
    case RunTick::Outcome::Finished:
        timer2_.stop();
        done(QDialog::Rejected);
        break;
    }
}

void CAllItemsDlg::done(int result) {
    // However the dialog goes (閉じる, Esc, close box, the last step), the
    // run ends with it so that transferStep does not stay set.
    closed_ = true;
    timer2_.stop();
    // During a tick (its box open) the tick itself ends the run on return,
    // after it has advanced the step.
    if (!inTick_ && run_.running()) run_.Abort();
    QDialog::done(result);
}

}  // namespace kvt
