#include "editor/page_run.h"

#include <QComboBox>
#include <QLineEdit>

#include "editor/page_common.h"
#include "settings/panel_settings.h"

namespace kvt {

PageRunDriver::PageRunDriver(PagesRunKind kind) : run_(kind) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(PagesRunPeriodMs(kind));
    connect(&timer_, &QTimer::timeout, this, &PageRunDriver::OnTick);
}

PageRunDriver::~PageRunDriver() {
    timer_.stop();
    run_.Abort();
}

void PageRunDriver::Attach(QWidget* page, QComboBox* slaveCombo, QLineEdit* counter) {
    page_ = page;
    slaveCombo_ = slaveCombo;
    counter_ = counter;
}

void PageRunDriver::Start() {
    if (!run_.Start()) return;
    timer_.start();  // the first command goes out one period from now
}

void PageRunDriver::OnTick() {
    // A tick whose message box is still open (a nested event loop) is not
    // entered again; the run goes on once the box is closed.
    if (inTick_) return;
    inTick_ = true;
    SetOwnerToActiveWindow(page_);
    CopySelection(slaveCombo_, &slaveNo);
    const RunTick tick = run_.Tick();
    if (tick.outcome != RunTick::Outcome::StoppedOnError && tick.stepDone > 0)
        counter_->setText(QString::number(tick.stepDone));
    if (tick.outcome != RunTick::Outcome::Continue) timer_.stop();
    inTick_ = false;
}

}  // namespace kvt
