// Dialog 145 "設定値の読み込み": the maintenance read-back, one read request
// per step of the engine's run (every 500 ms by default). Cancel is disabled
// while the run lasts; the dialog closes itself after the last step. Closing
// it by other means during a run ends the run.
#pragma once

#include <QDialog>

#include "widgets/window_run.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kvt {

class CReadSettingDlg : public QDialog {
    Q_OBJECT
public:
    CReadSettingDlg(RunEngine& engine, const Pacing& pacing, QWidget* parent = nullptr);

    void OnStart();  // button 1043
    bool running() const { return run_.running(); }

    void done(int result) override;

private:
    void ShowStep(int step);
    void OnRunEnded(RunEnd end);

    Pacing pacing_;
    WindowRun run_;
    QLineEdit* counter_;
    QPushButton* cancel_;
    QProgressBar* progress_;
};

}  // namespace kvt
