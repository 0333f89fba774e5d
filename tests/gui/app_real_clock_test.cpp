// The one run of the window program on the wall clock: the application as it
// starts (Qt clock, link, reply pump) runs the colour page's all-pages run
// against the simulated sign, which notes when each line arrives. Proves
// that the Qt timers keep the 200 ms beat; every other timed behaviour is
// tested on the virtual clock.
#include <time.h>

#include <QAction>
#include <QTemporaryDir>

#include "app/kvt540m_app.h"
#include "app/main_frame.h"
#include "app_test_support.h"
#include "sheet_support.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

namespace {

// The simulated sign's log uses this clock.
double MonotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

}  // namespace

class AppRealClockTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_, config_;

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        UsePrivateProfile(config_);
    }

    void colourRunKeepsItsBeat() {
        SimulatedSign sign(config_.path());
        QVERIFY(sign.running());
        SetPortDevice(config_, 0, sign.link());
        RecordingSeam boxes;
        CKVT540MApp app;
        app.session().SetSeam(&boxes);
        QVERIFY(app.InitInstance());

        double pressed = 0;
        bool ended = false;
        WhenModal([&](QWidget* modal) {
            auto* sheet = qobject_cast<CMyPropertySheet*>(modal);
            if (!sheet) {
                modal->close();
                return;
            }
            pressed = MonotonicSeconds();
            Click(ShowTab(*sheet, 3), 1023);
            // Bounded waits: the run's end, then the reply to its last line.
            ended = QTest::qWaitFor([&] { return !app.engine().running(); }, 10000);
            if (ended) (void)QTest::qWaitFor([&] { return !boxes.boxes().empty(); }, 3000);
            sheet->reject();
        });
        app.frame()->findChild<QAction*>(QStringLiteral("32773"))->trigger();
        QVERIFY(ended);
        QCOMPARE(sign.Lines().size(), 32);
        for (int p = 1; p <= 32; ++p)
            QCOMPARE(sign.Lines()[p - 1], QStringLiteral("P%1ICLT70707070707070").arg(p, 2, 10, QChar('0')));
        QCOMPARE(boxes.texts(), std::vector<std::string>{"Success"});
        // 32 beats of 200 ms: the first one beat after the press, and no
        // drift over the run. The bounds leave room for a loaded machine.
        const QList<double> times = sign.Times();
        const double first = times.first() - pressed;
        QVERIFY2(first > 0.18 && first < 0.3, qPrintable(QString::number(first)));
        const double span = times.last() - times.first();
        QVERIFY2(span > 6.15 && span < 6.35, qPrintable(QString::number(span)));
        for (int i = 1; i < times.size(); ++i) {
            const double gap = times[i] - times[i - 1];
            QVERIFY2(gap > 0.1 && gap < 0.3, qPrintable(QString::number(gap)));
        }
        app.frame()->ShutDown();
    }
};

KVT_QTEST(AppRealClockTest)
#include "app_real_clock_test.moc"
