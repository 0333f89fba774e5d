#include "app/qt_clock.h"

#include <QTimer>

namespace kvt {

namespace {

class QtTimer : public Timer {
public:
    QtTimer(Clock& clock, std::function<void()> fire) : clock_(clock) {
        timer_.setSingleShot(true);
        // Coarse timers may fire 5 % early or late; the runs' beats must not.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(fire));
    }
    void StartAt(Millis when) override {
        const Millis wait = when - clock_.Now();
        timer_.start(static_cast<int>(wait > 0 ? wait : 0));
    }
    void Stop() override { timer_.stop(); }

private:
    Clock& clock_;
    QTimer timer_;
};

}  // namespace

QtClock::QtClock() { elapsed_.start(); }

Millis QtClock::Now() { return elapsed_.elapsed(); }

std::unique_ptr<Timer> QtClock::NewTimer(std::function<void()> fire) {
    return std::make_unique<QtTimer>(*this, std::move(fire));
}

}  // namespace kvt
