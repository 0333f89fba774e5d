#include "dialogs/comm_setting_dlg.h"

#include <QComboBox>
#include <QPushButton>

#include "widgets/dialog_controls.h"
#include "session/session.h"

namespace kvt {

CCommSettingDlg::CCommSettingDlg(Session& session, QWidget* parent)
    : QDialog(parent), m_comPort(session.comPortIndex), m_lineMode(session.lineMode) {
    SetUpDialog(this, 138, tr("通信の設定"), 154, 79);
    PlaceGroup(this, QStringLiteral("COM Port"), 10, 10, 60, 40);
    PlaceGroup(this, QStringLiteral("Control"), 85, 10, 60, 40);
    port_ = PlaceCombo(this, 1019, {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3")},
                       15, 25, 48);
    line_ = PlaceCombo(this, 1020, {QStringLiteral("RS-232C"), QStringLiteral("RS-485")}, 90, 25, 48);
    port_->setCurrentIndex(session.comPortIndex);
    line_->setCurrentIndex(session.lineMode);
    connect(port_, &QComboBox::currentIndexChanged, this,
            [&session](int index) { session.comPortIndex = index; });
    connect(line_, &QComboBox::currentIndexChanged, this,
            [&session](int index) { session.lineMode = index; });

    QPushButton* ok = PlaceButton(this, 1, QStringLiteral("OK"), 15, 55, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* close = PlaceButton(this, 2, tr("閉じる"), 90, 55, 50, 14);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    port_->setFocus();
}

void CCommSettingDlg::accept() {
    m_comPort = port_->currentIndex();
    m_lineMode = line_->currentIndex();
    QDialog::accept();
}

}  // namespace kvt
