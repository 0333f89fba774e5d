#include "dialogs/read_setting_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "widgets/dialog_controls.h"
#include "widgets/dialog_units.h"

namespace kvt {

CReadSettingDlg::CReadSettingDlg(RunEngine& engine, const Pacing& pacing, QWidget* parent)
    : QDialog(parent), pacing_(pacing), run_(engine) {
    SetUpDialog(this, 145, tr("設定値の読み込み"), 194, 84);
    QPushButton* start = PlaceButton(this, 1043, tr("読み込み"), 7, 7, 50, 14);
    connect(start, &QPushButton::clicked, this, &CReadSettingDlg::OnStart);
    counter_ = PlaceNumberBox(this, 1044, 57, 7, 20, 14);
    cancel_ = PlaceButton(this, 2, tr("ｷｬﾝｾﾙ"), 137, 7, 50, 14);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("1045"));
    progress_->setGeometry(DialogRect(font(), 7, 33, 180, 14));
    progress_->setRange(0, kReadBackLastStep);
    progress_->setValue(0);
    progress_->setTextVisible(false);

    PlaceLabel(this, tr("メインテナンス以外で読み込み動作を行わないでください。"), 13, 57, 168, 8);

    run_.stepDone = [this](int step) { ShowStep(step); };
    run_.ended = [this](RunEnd end) { OnRunEnded(end); };
}

void CReadSettingDlg::OnStart() {
    if (!run_.Start(RunKind::ReadBack, pacing_)) return;  // a run is going on
    cancel_->setEnabled(false);
}

void CReadSettingDlg::ShowStep(int step) {
    counter_->setText(QString::number(step));
    progress_->setRange(0, kReadBackLastStep);
    progress_->setValue(step);
}

void CReadSettingDlg::OnRunEnded(RunEnd end) {
    cancel_->setEnabled(true);
    // After an error reply the dialog stays, to start again.
    if (end != RunEnd::Finished) return;
    counter_->setText(QStringLiteral("   "));
    progress_->setValue(0);
    done(QDialog::Rejected);
}

void CReadSettingDlg::done(int result) {
    // Esc or the close box during a run: the run ends with the dialog.
    run_.Abort();
    QDialog::done(result);
}

}  // namespace kvt
