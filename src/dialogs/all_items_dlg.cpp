#include "dialogs/all_items_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "widgets/dialog_controls.h"

namespace kvt {

CAllItemsDlg::CAllItemsDlg(RunEngine& engine, const Pacing& pacing, QWidget* parent)
    : QDialog(parent), pacing_(pacing), run_(engine) {
    SetUpDialog(this, 144, tr("全項目の設定"), 163, 45);
    QPushButton* start = PlaceButton(this, 1041, tr("全項目の設定"), 10, 15, 50, 14);
    connect(start, &QPushButton::clicked, this, &CAllItemsDlg::OnStart);
    counter_ = PlaceNumberBox(this, 1024, 60, 15, 20, 14);
    QPushButton* close = PlaceButton(this, 2, tr("閉じる"), 100, 15, 50, 14);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    run_.stepDone = [this](int step) { counter_->setText(QString::number(step)); };
    run_.ended = [this](RunEnd end) {
        // After an error reply the dialog stays, to start again.
        if (end == RunEnd::Finished) done(QDialog::Rejected);
    };
}

void CAllItemsDlg::OnStart() {
    run_.Start(RunKind::AllItems, pacing_);  // refused while a run is going on
}

void CAllItemsDlg::done(int result) {
    // However the dialog goes (閉じる, Esc, close box), the run ends with it
    // so that transferStep does not stay set.
    run_.Abort();
    QDialog::done(result);
}

}  // namespace kvt
