#include "dialogs/device_setting_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "serial/rfc2217_transport.h"
#include "serial/tcp_transport.h"

namespace kvt {

namespace {

// What the list shows of a device: its path, then what is behind it.
QString ItemText(const SerialPortInfo& port) {
    return QString::fromStdString(port.path) + QStringLiteral("  —  ") +
           QString::fromStdString(port.Describe());
}

}  // namespace

CDeviceSettingDlg::CDeviceSettingDlg(const std::vector<std::string>& devices, Discover discover,
                                     QWidget* parent)
    : QDialog(parent), discover_(std::move(discover)) {
    setObjectName(QStringLiteral("DeviceSetting"));
    setWindowTitle(tr("デバイスの設定"));
    auto* form = new QFormLayout;
    for (int i = 0; i < kPortCount; ++i) {
        combos_[i] = new QComboBox(this);
        combos_[i]->setObjectName(QStringLiteral("COM%1").arg(i + 1));
        combos_[i]->setEditable(true);
        combos_[i]->setInsertPolicy(QComboBox::NoInsert);
        combos_[i]->setMinimumWidth(380);
        descriptions_[i] = new QLabel(this);
        descriptions_[i]->setObjectName(QStringLiteral("COM%1_description").arg(i + 1));
        // A device picked from the list: its path in the field, what it is below.
        connect(combos_[i], &QComboBox::activated, this, [this, i](int item) {
            combos_[i]->setEditText(combos_[i]->itemData(item).toString());
            ShowDescription(i);
        });
        connect(combos_[i], &QComboBox::editTextChanged, this, [this, i] { ShowDescription(i); });
        form->addRow(QStringLiteral("COM%1").arg(i + 1), combos_[i]);
        form->addRow(QString(), descriptions_[i]);
    }
    auto* rescan = new QPushButton(tr("再検索"), this);
    rescan->setObjectName(QStringLiteral("rediscover"));
    connect(rescan, &QPushButton::clicked, this, &CDeviceSettingDlg::Rediscover);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    buttons->addButton(rescan, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    Rediscover();
    for (int i = 0; i < kPortCount; ++i)
        combos_[i]->setEditText(QString::fromStdString(i < int(devices.size()) ? devices[i] : ""));
}

std::string CDeviceSettingDlg::device(int index) const {
    return combos_[index]->currentText().trimmed().toStdString();
}

void CDeviceSettingDlg::Rediscover() {
    found_ = discover_ ? discover_() : std::vector<SerialPortInfo>{};
    for (int i = 0; i < kPortCount; ++i) {
        const QString shown = combos_[i]->currentText();
        combos_[i]->clear();
        for (const SerialPortInfo& port : found_)
            combos_[i]->addItem(ItemText(port), QString::fromStdString(port.path));
        combos_[i]->setEditText(shown);
        ShowDescription(i);
    }
}

QString CDeviceSettingDlg::NetworkDescription(const std::string& address) const {
    TcpTransport::Address parts;
    std::string wrong;
    if (!TcpTransport::Parse(address, &parts, &wrong)) return QString::fromStdString(wrong);
    if (parts.scheme == Rfc2217Transport::kScheme)
        return tr("ネットワーク上のシリアルサーバー (RFC 2217: 回線の設定はこのプログラムから)");
    return tr("ネットワーク上のシリアルサーバー (raw TCP)");
}

void CDeviceSettingDlg::ShowDescription(int index) {
    const std::string path = device(index);
    QString text;
    for (const SerialPortInfo& port : found_)
        if (port.path == path || port.device == path) text = QString::fromStdString(port.Describe());
    if (text.isEmpty() && TcpTransport::IsNetworkAddress(path))
        text = NetworkDescription(path);
    else if (text.isEmpty() && !path.empty())
        text = tr("一覧にないデバイス");
    descriptions_[index]->setText(text);
}

}  // namespace kvt
