// "デバイスの設定": which device each port name (COM1..COM3) stands for.
// Each name has an editable list of the serial devices found on this
// machine (with what is behind them) that also takes any other path or a
// network address (tcp://HOST:PORT, rfc2217://HOST:PORT; what is wrong with
// a mistyped one shows below it); "再検索" looks for devices again.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "serial/port_discovery.h"

class QComboBox;
class QLabel;

namespace kvt {

class CDeviceSettingDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPortCount = 3;
    using Discover = std::function<std::vector<SerialPortInfo>()>;

    // devices: what COM1..COM3 stand for today. discover: the devices of
    // the machine (tests give their own).
    CDeviceSettingDlg(const std::vector<std::string>& devices, Discover discover,
                      QWidget* parent = nullptr);

    // The device chosen or typed for port index 0..2, trimmed.
    std::string device(int index) const;
    QComboBox* combo(int index) const { return combos_[index]; }

    // Lists the devices of the machine again; what each combo shows stays.
    void Rediscover();

private:
    void ShowDescription(int index);
    // What a network address reaches, or what is wrong with it.
    QString NetworkDescription(const std::string& address) const;

    Discover discover_;
    std::vector<SerialPortInfo> found_;
    QComboBox* combos_[kPortCount] = {};
    QLabel* descriptions_[kPortCount] = {};
};

}  // namespace kvt
