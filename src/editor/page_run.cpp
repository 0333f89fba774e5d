#include "editor/page_run.h"

#include <QComboBox>
#include <QLineEdit>

#include "editor/page_common.h"
#include "session/session.h"

namespace kvt {

PageRunDriver::PageRunDriver(Session& session, RunEngine& engine, RunKind kind)
    : session_(session), kind_(kind), run_(engine) {
    run_.beforeStep = [this](int) { BeforeStep(); };
    run_.stepDone = [this](int step) { counter_->setText(QString::number(step)); };
}

void PageRunDriver::Attach(QWidget* page, QComboBox* slaveCombo, QLineEdit* counter) {
    page_ = page;
    slaveCombo_ = slaveCombo;
    counter_ = counter;
}

void PageRunDriver::Start() {
    // The page runs keep their fixed pace, whatever the transfer setting:
    // the first command goes out one period from now.
    run_.Start(kind_, Pacing{});
}

void PageRunDriver::BeforeStep() {
    SetOwnerToActiveWindow(session_, page_);
    CopySelection(slaveCombo_, &session_.slaveNo);
}

}  // namespace kvt
