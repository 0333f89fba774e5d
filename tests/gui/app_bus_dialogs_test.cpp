// The dialogs for installations: "複数表示器へ送信" sending to several slaves
// on the virtual clock (results beside the slaves, one summary box, its run
// ended with it, refused while another run holds the line), and
// "デバイスの設定" (the devices found, free text, the profile, the link
// opened again).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_frame.h"
#include "app/ui_language.h"
#include "app_test_support.h"
#include "dialogs/device_setting_dlg.h"
#include "dialogs/multi_sign_dlg.h"
#include "session_rig.h"
#include "support/qt_test_main.h"

using namespace kvt;

class AppBusDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SessionRig> rig_;
    QTemporaryDir config_;

    // Slave 2 is silent, slave 3 answers every line with an error.
    void AnswerAsABus() {
        test::SessionRig& rig = *rig_;
        rig.sign.answer = [&rig](const std::string&, size_t) -> std::string {
            switch (rig.session.slaveNo) {
            case 2: return "";
            case 3: return "E3\r\n";
            default: return "GO\r\n";
            }
        };
    }
    void RunOut(CMultiSignDlg& dialog) {
        for (int i = 0; i < 3000 && dialog.running(); ++i) rig_->clock.Advance(100);
        QVERIFY(!dialog.running());
    }
    std::vector<std::string> LinesTo(int slave) {
        std::vector<std::string> lines;
        const std::string prefix = SlavePrefix(1, slave);
        for (const std::string& line : rig_->sign.lines)
            if (line.compare(0, 2, prefix) == 0) lines.push_back(line);
        return lines;
    }

private slots:
    void initTestCase() { test::UsePrivateProfile(config_); }
    void cleanup() { InstallTranslations(UiLanguage::Japanese); }
    void init() {
        rig_ = std::make_unique<test::SessionRig>();
        rig_->replyTimer.Restart();  // as after a menu of the main window opened
    }

    // The results in the window's language; the sign's error and "No
    // Connect" as their boxes show them.
    void sendsToEachChosenSlaveAndSumsUpInOneBox_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("summary");
        QTest::newRow("Japanese") << false << "正常" << "正常 1 / 3";
        QTest::newRow("English") << true << "OK" << "OK 1 / 3";
    }
    void sendsToEachChosenSlaveAndSumsUpInOneBox() {
        QFETCH(bool, english);
        QFETCH(QString, ok);
        QFETCH(QString, summary);
        QVERIFY(InstallTranslations(english ? UiLanguage::English : UiLanguage::Japanese));
        AnswerAsABus();
        CMultiSignDlg dialog(rig_->line, true);
        for (int n : {1, 2, 3}) dialog.slave(n)->setChecked(true);
        dialog.OnStart();
        QVERIFY(dialog.running());
        QVERIFY(!dialog.findChild<QCheckBox*>("slave05")->isEnabled());
        RunOut(dialog);

        QCOMPARE(dialog.result(1)->text(), ok);
        QCOMPARE(dialog.result(2)->text(), QString("No Connect"));
        QCOMPARE(dialog.result(3)->text(), QString("Command Error"));
        QVERIFY(dialog.result(4)->text().isEmpty());
        QCOMPARE(LinesTo(1).size(), size_t(102));
        QCOMPARE(LinesTo(3).size(), size_t(1));  // stopped at its error
        // No box of the replies during the run: one summary at the end.
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{summary.toStdString() +
                                                              "\n02: No Connect\n03: Command Error"});
        QCOMPARE(&rig_->session.seam(), static_cast<MessageBoxSeam*>(&rig_->boxes));
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QCOMPARE(rig_->session.lineMode, 0);
        auto* progress = dialog.findChild<QProgressBar*>("progress");
        QCOMPARE(progress->value(), progress->maximum());
        QVERIFY(dialog.findChild<QCheckBox*>("slave05")->isEnabled());
    }

    void closingTheDialogEndsItsRun() {
        AnswerAsABus();
        auto dialog = std::make_unique<CMultiSignDlg>(rig_->line, false);
        dialog->slave(1)->setChecked(true);
        dialog->OnStart();
        rig_->clock.Advance(2000);  // timed: four texts so far
        QCOMPARE(LinesTo(1).size(), size_t(4));
        dialog->reject();
        QVERIFY(!dialog->running());
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QCOMPARE(&rig_->session.seam(), static_cast<MessageBoxSeam*>(&rig_->boxes));
        dialog.reset();
        rig_->clock.Advance(60000);
        QCOMPARE(LinesTo(1).size(), size_t(4));
        QVERIFY(rig_->boxes.texts().empty());
    }

    void anotherRunHoldsTheLine() {
        AnswerAsABus();
        QVERIFY(rig_->engine.Start(RunKind::ColourPages, Pacing{}, nullptr));
        CMultiSignDlg dialog(rig_->line, true);
        dialog.slave(1)->setChecked(true);
        dialog.OnStart();
        QVERIFY(!dialog.running());
        QVERIFY(dialog.findChild<QCheckBox*>("slave01")->isEnabled());
        rig_->engine.Abort();
        // With no slave chosen there is nothing to start either.
        dialog.slave(1)->setChecked(false);
        dialog.OnStart();
        QVERIFY(!dialog.running());
    }

    void deviceDialogOffersTheDevicesFoundAndTakesAnyText() {
        std::vector<SerialPortInfo> found{{"/dev/serial/by-id/usb-A", "/dev/ttyUSB0", "ftdi_sio",
                                           "0403:6001", "FTDI", "FT232R"}};
        int discoveries = 0;
        CDeviceSettingDlg dialog({"/dev/ttyS0", "tcp://127.0.0.1:4001", "/dev/ttyS2"},
                                 [&] { ++discoveries; return found; });
        QCOMPARE(discoveries, 1);
        QComboBox* com1 = dialog.combo(0);
        QCOMPARE(com1->currentText(), QString("/dev/ttyS0"));
        QCOMPARE(com1->count(), 1);
        QVERIFY(com1->itemText(0).contains("ftdi_sio, USB 0403:6001 FTDI FT232R"));
        QCOMPARE(dialog.findChild<QLabel*>("COM2_description")->text(),
                 QString("ネットワーク上のシリアルサーバー (raw TCP)"));
        dialog.combo(1)->lineEdit()->setText("rfc2217://127.0.0.1:4001");
        QVERIFY(dialog.findChild<QLabel*>("COM2_description")->text().contains("RFC 2217"));
        dialog.combo(1)->lineEdit()->setText("rfc2217://127.0.0.1");
        QCOMPARE(dialog.findChild<QLabel*>("COM2_description")->text(),
                 QString("No port in the address \"rfc2217://127.0.0.1\" (use rfc2217://HOST:PORT)"));

        // Picking from the list puts the device's path in the field.
        com1->setCurrentIndex(0);
        emit com1->activated(0);
        QCOMPARE(dialog.device(0), std::string("/dev/serial/by-id/usb-A"));
        QVERIFY(dialog.findChild<QLabel*>("COM1_description")->text().contains("FT232R"));

        // Looking again finds the new device and keeps what each field shows.
        found.push_back({"/dev/ttyACM0", "/dev/ttyACM0", "cdc_acm", "", "", ""});
        com1->lineEdit()->setText("  /dev/pts/7 ");
        dialog.Rediscover();
        QCOMPARE(discoveries, 2);
        QCOMPARE(com1->count(), 2);
        QCOMPARE(dialog.device(0), std::string("/dev/pts/7"));
        QCOMPARE(dialog.device(2), std::string("/dev/ttyS2"));
    }

    void deviceSettingWritesTheProfileAndOpensTheNewDevice() {
        CMainFrame frame(rig_->line);
        frame.SetDeviceDiscovery([] { return std::vector<SerialPortInfo>{}; });
        const QString missing = config_.path() + "/no-such-adapter";
        test::WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CDeviceSettingDlg*>(modal);
            QVERIFY(dialog);
            dialog->combo(0)->lineEdit()->setText(missing);
            dialog->accept();
        });
        frame.OnDeviceSetting();
        QSettings profile(test::ProfileFile(config_), QSettings::IniFormat);
        QCOMPARE(profile.value("Devices/COM1").toString(), missing);
        QVERIFY(!profile.contains("Devices/COM2"));  // unchanged: not written
        // The port in use now stands for the new device, which is not there.
        QCOMPARE(QString::fromStdString(rig_->session.link().devicePath()), missing);
        QCOMPARE(rig_->boxes.texts().front(), std::string("Miss! File Open"));
        rig_->session.link().CloseLink();
        frame.ShutDown();
    }
};

KVT_QTEST(AppBusDialogsTest)
#include "app_bus_dialogs_test.moc"
