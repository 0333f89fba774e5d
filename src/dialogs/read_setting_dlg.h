// Dialog 145 "設定値の読み込み": the maintenance read-back, one read request
// per tick of timer 8 (500 ms). Cancel is disabled while the run lasts; the
// dialog closes itself after the last step. Closing it by other means
// during a run ends the run.
#pragma once

#include <QDialog>
#include <QTimer>

#include "transfer/read_back_steps.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kvt {

class CReadSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CReadSettingDlg(QWidget* parent = nullptr);
    ~CReadSettingDlg() override;

    void OnStart();  // button 1043
    const QTimer& timer() const { return timer8_; }

    void done(int result) override;

private:
    void OnTick();
    void EndRun();

    ReadBackRun run_;
    QTimer timer8_;
    bool inTick_ = false;
    bool closed_ = false;
    QLineEdit* counter_;
    QPushButton* cancel_;
    QProgressBar* progress_;
};

}  // namespace kvt
