#include "transfer/read_setting_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/dialog_controls.h"
#include "app/dialog_units.h"

namespace kvt {

CReadSettingDlg::CReadSettingDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialog(this, 145, QStringLiteral("設定値の読み込み"), 194, 84);
    QPushButton* start = PlaceButton(this, 1043, QStringLiteral("読み込み"), 7, 7, 50, 14);
    connect(start, &QPushButton::clicked, this, &CReadSettingDlg::OnStart);
    counter_ = PlaceNumberBox(this, 1044, 57, 7, 20, 14);
    cancel_ = PlaceButton(this, 2, QStringLiteral("ｷｬﾝｾﾙ"), 137, 7, 50, 14);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("1045"));
    progress_->setGeometry(DialogRect(font(), 7, 33, 180, 14));
    progress_->setRange(0, kReadBackLastStep);
    progress_->setValue(0);
    progress_->setTextVisible(false);

    PlaceLabel(this, QStringLiteral("メインテナンス以外で読み込み動作を行わないでください。"), 13, 57, 168, 8);

    timer8_.setObjectName(QStringLiteral("timer8"));
    timer8_.setTimerType(Qt::PreciseTimer);
    connect(&timer8_, &QTimer::timeout, this, &CReadSettingDlg::OnTick);
}

CReadSettingDlg::~CReadSettingDlg() {
    timer8_.stop();
    if (run_.running()) run_.Abort();
}

void CReadSettingDlg::OnStart() {
    if (!run_.Start()) return;  // a run (this one or another) is going on
    closed_ = false;
    cancel_->setEnabled(false);
    timer8_.start(kReadBackPeriodMs);
}

void CReadSettingDlg::OnTick() {
    // No tick of the run while an earlier tick's box is open.
    if (inTick_) return;
    inTick_ = true;
    RunTick tick = run_.Tick();
    inTick_ = false;
    if (closed_) {
        run_.Abort();  // the dialog was closed while this tick's box was open
        return;
    }
    if (tick.stepDone > 0) {
        counter_->setText(QString::number(tick.stepDone));
        progress_->setRange(0, kReadBackLastStep);
        progress_->setValue(tick.stepDone);
    }
    switch (tick.outcome) {
    case RunTick::Outcome::Continue:
        break;
    case RunTick::Outcome::StoppedOnError:
        timer8_.stop();
        cancel_->setEnabled(true);
        break;
    case RunTick::Outcome::Finished:
        EndRun();
        break;
    }
}

void CReadSettingDlg::EndRun() {
    timer8_.stop();
    counter_->setText(QStringLiteral("   "));
    progress_->setValue(0);
    cancel_->setEnabled(true);
    done(QDialog::Rejected);
}

void CReadSettingDlg::done(int result) {
    // Esc or the close box during a run: the run ends with the dialog.
    closed_ = true;
    timer8_.stop();
    // During a tick (its box open) the tick itself ends the run on return,
    // after it has advanced the step.
    if (!inTick_ && run_.running()) run_.Abort();
    QDialog::done(result);
}

}  // namespace kvt
