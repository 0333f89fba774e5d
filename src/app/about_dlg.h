// Dialog 100: the version information.
#pragma once

#include <QDialog>

namespace kvt {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kvt
