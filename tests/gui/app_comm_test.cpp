// The communication settings dialog: immediate effect of a selection, OK
// re-opening the link and writing the profile, 閉じる leaving both alone; a
// reply from the re-opened port reaching the session through the pump. Also
// run under ThreadSanitizer.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_frame.h"
#include "app/reply_pump.h"
#include "app_test_support.h"
#include "session_rig.h"
#include "support/qt_test_main.h"

using namespace kvt;

namespace {

// The controlling end of a pseudo-terminal; its far end acts as a port.
struct Pty {
    Pty() {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0) device = ptsname(fd);
    }
    ~Pty() {
        if (fd >= 0) close(fd);
    }
    int fd = -1;
    QString device;
};

QByteArray ReadSome(int fd) {
    char buf[64];
    ssize_t n = read(fd, buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

}  // namespace

class AppCommTest : public QObject {
    Q_OBJECT

    int ProfileInt(const char* key) {
        QSettings profile(test::ProfileFile(config_), QSettings::IniFormat);
        return profile.value(QString("KVT-540-M_Section/") + key, -1).toInt();
    }

    // Runs the dialog from the menu; act works on the open dialog.
    void RunDialog(std::function<void(QWidget*)> act) {
        test::WhenModal(act);
        frame_->findChild<QAction*>("32772")->trigger();
    }

    QTemporaryDir config_;
    Pty com1_, com2_;
    test::SessionRig rig_;
    test::RecordingSeam& seam_ = rig_.boxes;
    Session& session_ = rig_.session;
    SerialLink& link_ = rig_.session.link();
    ReplyPump pump_{rig_.session};
    std::unique_ptr<CMainFrame> frame_;

private slots:
    void initTestCase() {
        QVERIFY(!com1_.device.isEmpty() && !com2_.device.isEmpty());
        test::UsePrivateProfile(config_);
        test::SetPortDevice(config_, 0, com1_.device);
        test::SetPortDevice(config_, 1, com2_.device);
        test::SetPortDevice(config_, 2, config_.path() + "/absent");
        session_.SetPort(nullptr);  // commands go to the link
        link_.SetConsumer([this](const std::string& l) { pump_.Post(l); });
        link_.OpenPort(com1_.device.toStdString());
        link_.StartReadThread();
        QCOMPARE(int(link_.state()), int(SerialLink::State::Open));
        frame_ = std::make_unique<CMainFrame>(rig_.line, &pump_);
    }
    void cleanupTestCase() {
        frame_->ShutDown();
        frame_.reset();
    }
    void init() { seam_.clear(); }

    void dialogShowsTheCurrentChoices() {
        session_.comPortIndex = 1;
        session_.lineMode = 1;
        QStringList ports, lines;
        int port = -1, line = -1;
        RunDialog([&](QWidget* d) {
            auto* p = d->findChild<QComboBox*>("1019");
            auto* l = d->findChild<QComboBox*>("1020");
            for (int i = 0; i < p->count(); ++i) ports << p->itemText(i);
            for (int i = 0; i < l->count(); ++i) lines << l->itemText(i);
            port = p->currentIndex();
            line = l->currentIndex();
            d->findChild<QPushButton*>("2")->click();
        });
        QCOMPARE(ports, QStringList({"COM 1", "COM 2", "COM 3"}));
        QCOMPARE(lines, QStringList({"RS-232C", "RS-485"}));
        QCOMPARE(port, 1);
        QCOMPARE(line, 1);
        session_.comPortIndex = 0;
        session_.lineMode = 0;
    }

    void selectionTakesEffectAtOnceAndCloseKeepsLinkAndProfile() {
        int lineSeen = -1, portSeen = -1;
        RunDialog([&](QWidget* d) {
            d->findChild<QComboBox*>("1020")->setCurrentIndex(1);
            d->findChild<QComboBox*>("1019")->setCurrentIndex(1);
            lineSeen = session_.lineMode;
            portSeen = session_.comPortIndex;
            d->findChild<QPushButton*>("2")->click();
        });
        QCOMPARE(lineSeen, 1);
        QCOMPARE(portSeen, 1);
        QCOMPARE(session_.lineMode, 1);  // not undone by 閉じる
        QCOMPARE(QString::fromStdString(link_.devicePath()), com1_.device);
        QCOMPARE(ProfileInt("rs_control"), -1);
        QVERIFY(seam_.boxes().empty());
    }

    void okReopensTheLinkAndWritesTheProfile() {
        RunDialog([&](QWidget* d) {
            d->findChild<QComboBox*>("1019")->setCurrentIndex(1);
            d->findChild<QComboBox*>("1020")->setCurrentIndex(0);
            d->findChild<QPushButton*>("1")->click();
        });
        QCOMPARE(QString::fromStdString(link_.devicePath()), com2_.device);
        QCOMPARE(int(link_.state()), int(SerialLink::State::Open));
        QCOMPARE(ProfileInt("com_port"), 1);
        QCOMPARE(ProfileInt("rs_control"), 0);
        QVERIFY(seam_.boxes().empty());

        // A command through the re-opened link reaches the new port, and
        // its reply comes back to the session through the pump.
        session_.SendCommand("RP\r\n");
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += ReadSome(com2_.fd)).contains("RP\r\n"), 3000);
        QCOMPARE(write(com2_.fd, "PH11\r\n", 6), ssize_t(6));
        QTRY_COMPARE_WITH_TIMEOUT(session_.panelSettings.hPosition, 11, 3000);
        QCOMPARE(session_.replyPending.load(), 0);
    }

    void okWithAMissingPortStillStoresTheChoice() {
        RunDialog([&](QWidget* d) {
            d->findChild<QComboBox*>("1019")->setCurrentIndex(2);
            d->findChild<QComboBox*>("1020")->setCurrentIndex(1);
            d->findChild<QPushButton*>("1")->click();
        });
        QCOMPARE(seam_.texts(), (std::vector<std::string>{"Miss! File Open", "Miss! Mask Set",
                                                           "Miss! Buffer Set", "Miss! Time Out Set",
                                                           "Miss! Set Comm State"}));
        QVERIFY(link_.state() != SerialLink::State::Open);
        QCOMPARE(ProfileInt("com_port"), 2);
        QCOMPARE(ProfileInt("rs_control"), 1);
    }
};

KVT_QTEST(AppCommTest)
#include "app_comm_test.moc"
