#include "serial/comm_setting_dlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "app/dialog_units.h"
#include "settings/panel_settings.h"

namespace kvt {

CCommSettingDlg::CCommSettingDlg(QWidget* parent)
    : QDialog(parent), m_comPort(comPortIndex), m_lineMode(lineMode) {
    setObjectName(QStringLiteral("138"));
    setWindowTitle(QStringLiteral("通信の設定"));
    QFont font = DialogFont();
    setFont(font);
    setFixedSize(DialogSize(font, 154, 79));

    auto* portGroup = new QGroupBox(QStringLiteral("COM Port"), this);
    portGroup->setGeometry(DialogRect(font, 10, 10, 60, 40));
    auto* lineGroup = new QGroupBox(QStringLiteral("Control"), this);
    lineGroup->setGeometry(DialogRect(font, 85, 10, 60, 40));
    // The drop-down height in the resource includes the list; the closed
    // box is one line high.
    port_ = AddCombo(1019, {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3")},
                     15, 25, 48, 80);
    line_ = AddCombo(1020, {QStringLiteral("RS-232C"), QStringLiteral("RS-485")}, 90, 25, 48, 65);
    port_->setCurrentIndex(comPortIndex);
    line_->setCurrentIndex(lineMode);
    connect(port_, &QComboBox::currentIndexChanged, this, [](int index) { comPortIndex = index; });
    connect(line_, &QComboBox::currentIndexChanged, this, [](int index) { lineMode = index; });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(DialogRect(font, 15, 55, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("2"));
    close->setGeometry(DialogRect(font, 90, 55, 50, 14));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    port_->setFocus();
}

QComboBox* CCommSettingDlg::AddCombo(int id, const QStringList& items, int x, int y, int w, int h) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::number(id));
    combo->addItems(items);
    QRect r = DialogRect(font(), x, y, w, h);
    combo->setGeometry(r.x(), r.y(), r.width(), DialogRect(font(), 0, 0, 0, 12).height());
    return combo;
}

void CCommSettingDlg::accept() {
    m_comPort = port_->currentIndex();
    m_lineMode = line_->currentIndex();
    QDialog::accept();
}

}  // namespace kvt
