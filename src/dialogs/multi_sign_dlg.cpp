#include "dialogs/multi_sign_dlg.h"
#include "protocol/slave_list.h"
#include "widgets/result_words.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvt {

namespace {

QString TwoDigitText(int n) { return QString::fromStdString(TwoDigits(n)); }

// The box at the end: how many signs took the settings, and what went
// wrong with the others.
QString Summary(const std::vector<SlaveResult>& results) {
    int ok = 0;
    QString failures;
    for (const SlaveResult& r : results) {
        if (r.ok()) {
            ++ok;
            continue;
        }
        failures += "\n" + TwoDigitText(r.slave) + ": " + ResultWords::Of(r);
    }
    return CMultiSignDlg::tr("正常 %1 / %2").arg(ok).arg(results.size()) + failures;
}

}  // namespace

CMultiSignDlg::CMultiSignDlg(SignLine& line, bool fast, QWidget* parent)
    : QDialog(parent), session_(line.session()), bus_(line), seam_(&session_.seam()) {
    setObjectName(QStringLiteral("MultiSign"));
    setWindowTitle(tr("複数表示器へ送信"));
    auto* grid = new QGridLayout;
    for (int n = 0; n < kSlaves; ++n) {
        slaves_[n] = new QCheckBox(TwoDigitText(n), this);
        slaves_[n]->setObjectName(QStringLiteral("slave%1").arg(TwoDigitText(n)));
        results_[n] = new QLabel(this);
        results_[n]->setObjectName(QStringLiteral("result%1").arg(TwoDigitText(n)));
        results_[n]->setMinimumWidth(110);
        grid->addWidget(slaves_[n], n % 8, 2 * (n / 8));
        grid->addWidget(results_[n], n % 8, 2 * (n / 8) + 1);
    }
    verify_ = new QCheckBox(tr("照合"), this);
    verify_->setObjectName(QStringLiteral("verify"));
    fast_ = new QCheckBox(tr("高速転送"), this);
    fast_->setObjectName(QStringLiteral("fast"));
    fast_->setChecked(fast);
    start_ = new QPushButton(tr("開始"), this);
    start_->setObjectName(QStringLiteral("start"));
    connect(start_, &QPushButton::clicked, this, &CMultiSignDlg::OnStart);
    auto* close = new QPushButton(tr("閉じる"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setTextVisible(false);
    progress_->setValue(0);

    auto* choices = new QHBoxLayout;
    choices->addWidget(verify_);
    choices->addWidget(fast_);
    choices->addStretch();
    choices->addWidget(start_);
    choices->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(choices);
    layout->addWidget(progress_);
}

CMultiSignDlg::~CMultiSignDlg() { EndRun(); }

void CMultiSignDlg::OnStart() {
    std::vector<int> chosen;
    for (int n = 0; n < kSlaves; ++n)
        if (slaves_[n]->isChecked()) chosen.push_back(n);
    const Pacing pacing{fast_->isChecked() ? Pace::Reply : Pace::Timed, kDefaultReplyGapMs};
    if (chosen.empty() || session_.transferStep != 0) return;  // nothing to do, or a run holds the line
    for (QLabel* result : results_) result->clear();
    stepsPerSlave_ = (verify_->isChecked() ? 2 : 1) * kAllItemsLastStep;
    slavesDone_ = 0;
    progress_->setRange(0, stepsPerSlave_ * static_cast<int>(chosen.size()));
    progress_->setValue(0);
    session_.SetSeam(&quiet_);
    SetRunning(true);
    if (!bus_.Start(BusJob::Deploy, chosen, verify_->isChecked(), pacing, this)) EndRun();
}

void CMultiSignDlg::SetRunning(bool running) {
    start_->setEnabled(!running);
    verify_->setEnabled(!running);
    fast_->setEnabled(!running);
    for (QCheckBox* slave : slaves_) slave->setEnabled(!running);
}

void CMultiSignDlg::EndRun() {
    bus_.Abort();
    if (&session_.seam() == &quiet_) session_.SetSeam(seam_);
    SetRunning(false);
}

void CMultiSignDlg::done(int result) {
    EndRun();  // however the dialog goes, its run goes with it
    QDialog::done(result);
}

void CMultiSignDlg::SlaveRunStarted(int slave, RunKind kind) {
    verifying_ = kind == RunKind::ReadBack;
    results_[slave]->setText(verifying_ ? tr("照合中…") : tr("送信中…"));
}

void CMultiSignDlg::StepDone(int, int step) {
    progress_->setValue(slavesDone_ * stepsPerSlave_ + (verifying_ ? kAllItemsLastStep : 0) + step);
}

void CMultiSignDlg::SlaveDone(const SlaveResult& result, const Session&) {
    ++slavesDone_;
    progress_->setValue(slavesDone_ * stepsPerSlave_);
    QLabel* label = results_[result.slave];
    label->setText(ResultWords::Of(result));
    QString details;
    for (const std::string& difference : result.differences)
        details += QString::fromStdString(difference) + "\n";
    label->setToolTip(details.trimmed());
}

void CMultiSignDlg::BusDone(const std::vector<SlaveResult>& results) {
    EndRun();
    session_.NoticeBox(Summary(results).toStdString());
}

}  // namespace kvt
