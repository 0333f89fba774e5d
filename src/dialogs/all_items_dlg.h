// Dialog 144 "全項目の設定": sends the whole store in one run of the engine
// (at the pace it is given: 500 ms for the texts, then 200 ms, by default),
// shows the step just done and closes itself after the last step. Closing it
// during a run ends the run.
#pragma once

#include <QDialog>

#include "widgets/window_run.h"

class QLineEdit;

namespace kvt {

class CAllItemsDlg : public QDialog {
    Q_OBJECT
public:
    CAllItemsDlg(RunEngine& engine, const Pacing& pacing, QWidget* parent = nullptr);

    void OnStart();  // button 1041
    bool running() const { return run_.running(); }

    void done(int result) override;

private:
    Pacing pacing_;
    WindowRun run_;
    QLineEdit* counter_;
};

}  // namespace kvt
