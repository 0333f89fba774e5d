// The timer of a page's all-pages run: one command per tick, the counter
// edit showing the page just done, the page's own Slave No. addressing each
// tick.
#pragma once

#include <QObject>
#include <QTimer>

#include "transfer/pages_run.h"

class QComboBox;
class QLineEdit;

namespace kvt {

class PageRunDriver : public QObject {
    Q_OBJECT
public:
    explicit PageRunDriver(PagesRunKind kind);
    // A run still going when its page goes away ends here (transferStep 0).
    ~PageRunDriver() override;

    void Attach(QWidget* page, QComboBox* slaveCombo, QLineEdit* counter);
    // Does nothing while any run is going on (transferStep not 0).
    void Start();
    bool running() const { return run_.running(); }

private:
    void OnTick();

    PagesRun run_;
    QTimer timer_;
    QWidget* page_ = nullptr;
    QComboBox* slaveCombo_ = nullptr;
    QLineEdit* counter_ = nullptr;
    bool inTick_ = false;  // a box of this tick is open
};

}  // namespace kvt
