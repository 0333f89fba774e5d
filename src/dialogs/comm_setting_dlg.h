// Dialog 138 "通信の設定": the COM port and the line type. A selection takes
// effect in the session's comPortIndex / lineMode at once; OK additionally
// makes the main frame re-open the link and store the choice in the profile.
#pragma once

#include <QDialog>

class QComboBox;

namespace kvt {

class Session;

class CCommSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCommSettingDlg(Session& session, QWidget* parent = nullptr);

    int m_comPort;   // selection of combo 1019 at OK
    int m_lineMode;  // selection of combo 1020 at OK

    void accept() override;

private:
    QComboBox* port_;
    QComboBox* line_;
};

}  // namespace kvt
