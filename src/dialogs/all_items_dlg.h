// Dialog 144 "全項目の設定": sends the whole store in one run, one command per
// tick of timer 2 (500 ms for the texts, then 200 ms), and closes itself
// after the last step. Closing it during a run ends the run.
#pragma once

#include <QDialog>
#include <QTimer>

#include "transfer/all_items_steps.h"

class QLineEdit;
class QPushButton;

namespace kvt {

class CAllItemsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAllItemsDlg(QWidget* parent = nullptr);
    ~CAllItemsDlg() override;

    void OnStart();  // button 1041
    const QTimer& timer() const { return timer2_; }

    void done(int result) override;

private:
    void OnTick();

    AllItemsRun run_;
    QTimer timer2_;
    bool inTick_ = false;
    bool closed_ = false;
    QLineEdit* counter_;
};

}  // namespace kvt
