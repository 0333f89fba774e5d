// One copy at a time: the lock file, a crashed holder, and the start-up of a
// second copy.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/instance_lock.h"
#include "app/kvt540m_app.h"
#include "app/main_frame.h"
#include "app_test_support.h"
#include "session_rig.h"
#include "settings/settings_file.h"
#include "support/qt_test_main.h"
#include "support/test_paths.h"

using namespace kvt;

class AppInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_, config_;
    test::RecordingSeam seam_;

private slots:
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        test::UsePrivateProfile(config_);
        // No serial device at all: the port messages are recorded, not shown.
        test::SetPortDevice(config_, 0, config_.path() + "/no-port");
    }
    void init() { seam_.clear(); }

    void secondLockIsRefusedUntilReleased() {
        QCOMPARE(QString::fromStdString(InstanceLock::LockPath()),
                 runtime_.path() + "/KVT540M_Instance.lock");
        InstanceLock first, second;
        QVERIFY(first.Acquire());
        QVERIFY(first.held());
        QVERIFY(!second.Acquire());
        first.Release();
        QVERIFY(second.Acquire());
    }

    void aKilledHolderDoesNotLockOut() {
        int ready[2];
        QCOMPARE(pipe(ready), 0);
        pid_t child = fork();
        if (child == 0) {
            InstanceLock lock;
            char ok = lock.Acquire() ? 1 : 0;
            (void)!write(ready[1], &ok, 1);
            pause();
            _exit(0);
        }
        char ok = 0;
        QCOMPARE(read(ready[0], &ok, 1), ssize_t(1));
        QCOMPARE(ok, char(1));
        InstanceLock mine;
        QVERIFY(!mine.Acquire());
        kill(child, SIGKILL);  // no clean-up of its own
        waitpid(child, nullptr, 0);
        QVERIFY(mine.Acquire());
        close(ready[0]);
        close(ready[1]);
    }

    void secondCopyShowsTheNoticeAndNoWindow() {
        InstanceLock running;
        QVERIFY(running.Acquire());
        CKVT540MApp copy;
        copy.session().SetSeam(&seam_);
        QVERIFY(!copy.InitInstance());
        QVERIFY(copy.frame() == nullptr);
        auto boxes = seam_.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, std::string("既に起動しています。"));
        QCOMPARE(boxes[0].caption, std::string("KVT-540M"));
        QCOMPARE(int(boxes[0].buttons), int(BoxButtons::Ok));
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Under a file-size limit a save must fail with its message, not end
    // the program by SIGXFSZ half-way through.
    void programIgnoresTheFileSizeSignal() {
        if (QString(KVT_APP_PATH).isEmpty()) QSKIP("no program in this build");
        QTemporaryDir runtime;
        test::ChildProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        app.process().setProcessEnvironment(env);
        app.process().start(QString(KVT_APP_PATH), {});
        QVERIFY(app.process().waitForStarted(5000));
        const QString status = QString("/proc/%1/status").arg(app.process().processId());
        auto ignoresSizeSignal = [&] {
            QFile file(status);
            if (!file.open(QIODevice::ReadOnly)) return false;
            for (const QByteArray& line : file.readAll().split('\n'))
                if (line.startsWith("SigIgn:"))
                    return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1) != 0;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(ignoresSizeSignal(), 5000);
    }

    void firstCopyOpensItsWindowEvenWithoutAPort() {
        CKVT540MApp app;
        app.session().SetSeam(&seam_);
        QVERIFY(app.InitInstance());
        QVERIFY(app.frame() && app.frame()->isVisible());
        QCOMPARE(seam_.texts(), (std::vector<std::string>{"Miss! File Open", "Miss! Mask Set",
                                                           "Miss! Buffer Set", "Miss! Time Out Set",
                                                           "Miss! Set Comm State"}));
        InstanceLock other;
        QVERIFY(!other.Acquire());
        app.frame()->ShutDown();
        app.ExitInstance();
        QVERIFY(other.Acquire());
    }

    // A file named at start opens as "開く" opens it; one that cannot be
    // read gets the same box, and the program runs on with a new file.
    void fileNamedAtStartIsOpened_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("readable");
        QTest::newRow("settings file") << QString(KVT_TEST_DATA) + "/sample.dat" << true;
        QTest::newRow("missing") << config_.path() + "/missing.dat" << false;
    }
    void fileNamedAtStartIsOpened() {
        QFETCH(QString, file);
        QFETCH(bool, readable);
        PanelSettings expected;
        ResetPanelSettings(&expected);
        int page = 0;
        std::string message;
        QCOMPARE(ReadSettingsFile(file.toStdString(), &expected, &page, &message), readable);
        CKVT540MApp app;
        app.session().SetSeam(&seam_);
        QVERIFY(app.InitInstance(file));
        QVERIFY(app.frame()->isVisible());
        const Session& session = app.session();
        QCOMPARE(QString::fromStdString(session.fileName), file);
        QCOMPARE(session.modified, 0);
        for (int p = 0; p < kPageCount; ++p)
            for (int k = 0; k < kLineCount; ++k) {
                QCOMPARE(session.panelSettings.lineText[p][k], expected.lineText[p][k]);
                QCOMPARE(session.panelSettings.charColor[p][k], expected.charColor[p][k]);
            }
        QCOMPARE(session.currentPage, readable ? page : 0);
        // After the port's failures, the file's box if any.
        const auto boxes = seam_.boxes();
        QCOMPARE(boxes.back().text, readable ? std::string("Miss! Set Comm State") : message);
        if (!readable) QCOMPARE(int(boxes.back().icon), int(BoxIcon::Exclamation));
        app.frame()->ShutDown();
    }

    // The application's run engine and reply time-out take the clock they
    // are given; the frame's menus start the beat.
    void theAppRunsOnTheClockItIsGiven() {
        VirtualClock clock;
        CKVT540MApp app(&clock);
        app.session().SetSeam(&seam_);
        test::SignOnClock sign(app.session(), clock);
        QVERIFY(app.InitInstance());
        seam_.clear();
        QMenu* menu = app.frame()->findChild<QMenu*>("menuFile");
        menu->popup(QPoint(0, 20));
        menu->hide();
        app.session().SendCommand("RP\r\n");
        clock.Advance(3499);
        QVERIFY(seam_.boxes().empty());
        clock.Advance(1);
        QCOMPARE(seam_.texts(), std::vector<std::string>{"No Connect"});
        app.frame()->ShutDown();
    }

    // The profile's port and line type hold from the start; a device name of
    // any length is quoted back in the box at most 40 characters long.
    void theProfileChoosesThePortAndTheLineType() {
        QSettings profile(test::ProfileFile(config_), QSettings::IniFormat);
        profile.setValue("KVT-540-M_Section/com_port", 2);
        profile.setValue("KVT-540-M_Section/rs_control", 1);
        profile.setValue("Devices/COM3", "tcp://" + QString(100000, 'a'));
        profile.sync();
        CKVT540MApp app;
        app.session().SetSeam(&seam_);
        QVERIFY(app.InitInstance());
        QCOMPARE(app.session().lineMode, 1);
        QCOMPARE(app.session().comPortIndex, 2);
        QCOMPARE(seam_.texts(), std::vector<std::string>{"No port in the address \"tcp://" +
                                                         std::string(34, 'a') +
                                                         "...\" (use tcp://HOST:PORT)"});
        app.frame()->ShutDown();
        profile.remove("KVT-540-M_Section");
        profile.remove("Devices/COM3");
    }
};

KVT_QTEST(AppInstanceTest)
#include "app_instance_test.moc"
