// A page's all-pages run on the engine: the counter edit showing the page
// just done, the page's own Slave No. addressing each step. A run still
// going when its page goes away ends with it (transferStep 0).
#pragma once

#include "widgets/window_run.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace kvt {

class Session;

class PageRunDriver {
public:
    // kind: the text, colour or blink pages' run.
    PageRunDriver(Session& session, RunEngine& engine, RunKind kind);

    void Attach(QWidget* page, QComboBox* slaveCombo, QLineEdit* counter);
    // Does nothing while any run is going on (transferStep not 0).
    void Start();
    bool running() const { return run_.running(); }

private:
    void BeforeStep();

    Session& session_;
    RunKind kind_;
    WindowRun run_;
    QWidget* page_ = nullptr;
    QComboBox* slaveCombo_ = nullptr;
    QLineEdit* counter_ = nullptr;
};

}  // namespace kvt
