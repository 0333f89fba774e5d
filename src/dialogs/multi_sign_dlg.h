// "複数表示器へ送信": sends the settings in use to several signs of an RS-485
// bus, one slave after the other, and shows how each went. The slaves are
// chosen with check boxes 0..31; "照合" reads each sign back after sending
// and compares it with the settings; "高速転送" goes at the pace of the
// sign's replies. During the run the sign's replies show no box of their
// own: the results fill in beside the slaves, and one box sums them up at
// the end. Closing the dialog ends its run.
#pragma once

#include <QDialog>

#include "session/message_box.h"
#include "transfer/bus_run.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kvt {

class CMultiSignDlg : public QDialog, private BusView {
    Q_OBJECT
public:
    static constexpr int kSlaves = 32;

    // fast: the starting choice of "高速転送".
    CMultiSignDlg(SignLine& line, bool fast, QWidget* parent = nullptr);
    ~CMultiSignDlg() override;

    void OnStart();  // "開始"
    bool running() const { return bus_.running(); }
    QCheckBox* slave(int n) const { return slaves_[n]; }
    QLabel* result(int n) const { return results_[n]; }

    void done(int result) override;

private:
    // Keeps the boxes of the sign's replies during the run.
    class QuietSeam : public MessageBoxSeam {
    public:
        BoxResult Show(const BoxRequest& box) override {
            return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
        }
    };

    void SetRunning(bool running);
    void EndRun();
    // BusView
    void SlaveRunStarted(int slave, RunKind kind) override;
    void StepDone(int slave, int step) override;
    void SlaveDone(const SlaveResult& result, const Session& session) override;
    void BusDone(const std::vector<SlaveResult>& results) override;

    Session& session_;
    BusRun bus_;
    QuietSeam quiet_;
    MessageBoxSeam* seam_;  // the session's own seam, back after the run
    QCheckBox* slaves_[kSlaves] = {};
    QLabel* results_[kSlaves] = {};
    QCheckBox* verify_;
    QCheckBox* fast_;
    QPushButton* start_;
    QProgressBar* progress_;
    int stepsPerSlave_ = 0;
    int slavesDone_ = 0;
    bool verifying_ = false;  // the slave in hand is being read back
};

}  // namespace kvt
