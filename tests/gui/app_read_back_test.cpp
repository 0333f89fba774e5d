// The read-back dialog end to end against the simulated sign: a whole run
// into the store, the stop on an error reply, and a close during the run.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app_bulk_support.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "settings/settings_file.h"
#include "transfer/read_setting_dlg.h"

using namespace kvt;

namespace {

QStringList ExpectedRequests() {
    QStringList lines;
    for (int p = 1; p <= 32; ++p) lines << QString::asprintf("RCA%02d", p);
    for (int p = 1; p <= 32; ++p) lines << QString::asprintf("RP%02dBDLT", p);
    for (int p = 1; p <= 32; ++p) lines << QString::asprintf("RP%02dICLT", p);
    lines << "RP" << "RPTCT" << "RPTFB" << "RPTWL" << "RPH" << "RPV";
    return lines;
}

}  // namespace

class AppReadBackTest : public QObject {
    Q_OBJECT

    struct Dialog {
        CReadSettingDlg dialog;
        QStringList counts;
        QList<int> progress;
        QList<bool> cancelEnabled;  // at each count
        QSignalSpy finished{&dialog, &QDialog::finished};
        Dialog() {
            auto* cancel = dialog.findChild<QPushButton*>("2");
            QObject::connect(dialog.findChild<QLineEdit*>("1044"), &QLineEdit::textChanged,
                             [this, cancel](const QString& t) {
                                 counts << t;
                                 cancelEnabled << cancel->isEnabled();
                             });
            QObject::connect(dialog.findChild<QProgressBar*>("1045"), &QProgressBar::valueChanged,
                             [this](int v) { progress << v; });
            dialog.show();
        }
        void Press(const char* id) { dialog.findChild<QPushButton*>(id)->click(); }
        bool CancelEnabled() { return dialog.findChild<QPushButton*>("2")->isEnabled(); }
    };

    QTemporaryDir dir_;

private slots:
    void init() {
        ResetSettings();
        ResetReplyState();
        lineMode = 0;
    }

    void wholeRunFillsTheStore() {
        // What the sign holds.
        panelSettings.lineText[1][0] = "\x82\xa0";  // あ
        panelSettings.charColor[31][0] = 1;
        panelSettings.edgeColor[31][0] = 2;
        panelSettings.blinkMode[2][2] = 1;
        panelSettings.fillMask[0] = 1;
        panelSettings.whiteLevel[5] = 0;
        panelSettings.displayTime[7] = 42;
        panelSettings.hPosition = 12;
        panelSettings.vPosition = 3;
        currentPage = 4;
        std::string message;
        QString state = dir_.path() + "/sign-state.dat";
        QCOMPARE(int(WriteSettingsFile(state.toStdString(), &message)), int(SaveResult::Ok));
        ResetSettings();
        modified = 1;
        fileName = "/kept/name.dat";

        test::SimulatedSign sign(dir_.path(), {"--load", state});
        QVERIFY(sign.running());
        test::RecordingSeam seam;
        test::LinkToSign link(sign.link());
        Dialog d;
        QCOMPARE(d.dialog.findChild<QProgressBar*>("1045")->maximum(), 103);
        QVERIFY(d.CancelEnabled());
        QElapsedTimer clock;
        clock.start();
        d.Press("1043");
        QVERIFY(!d.CancelEnabled());
        d.Press("1043");  // pressed again during the run: nothing
        QTRY_COMPARE_WITH_TIMEOUT(d.finished.count(), 1, 60000);
        qint64 ms = clock.elapsed();
        QVERIFY2(ms > 51300 && ms < 52600, qPrintable(QString::number(ms)));
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(transferStep.load(), 0);
        QVERIFY(!d.dialog.timer().isActive());
        QVERIFY(d.CancelEnabled());

        QStringList expectedCounts;
        QList<int> expectedProgress;
        for (int s = 1; s <= 103; ++s) {
            expectedCounts << QString::number(s);
            expectedProgress << s;
        }
        expectedCounts << "   ";
        expectedProgress << 0;
        QCOMPARE(d.counts, expectedCounts);
        QCOMPARE(d.progress, expectedProgress);
        QVERIFY(!d.cancelEnabled.mid(0, 103).contains(true));

        QTest::qWait(800);  // the reply to "RPV" comes after the dialog
        QCOMPARE(sign.Lines(), ExpectedRequests());
        QVERIFY(seam.boxes().empty());
        QCOMPARE(panelSettings.lineText[1][0], std::string("\x82\xa0"));
        QCOMPARE(panelSettings.lineText[1][1], std::string());
        QCOMPARE(panelSettings.charColor[31][0], 1);
        QCOMPARE(panelSettings.edgeColor[31][0], 2);
        QCOMPARE(panelSettings.blinkMode[2][2], 1);
        QCOMPARE(panelSettings.fillMask[0], 1);
        QCOMPARE(panelSettings.whiteLevel[5], 0);
        QCOMPARE(panelSettings.displayTime[7], 42);
        QCOMPARE(panelSettings.hPosition, 12);
        QCOMPARE(panelSettings.vPosition, 3);
        QCOMPARE(currentPage, 4);
        QCOMPARE(modified, 1);
        QCOMPARE(fileName, std::string("/kept/name.dat"));
    }

    void errorReplyStopsTheRun() {
        test::SimulatedSign sign(dir_.path(), {"--reply", "3=GN"});
        test::RecordingSeam seam;
        test::LinkToSign link(sign.link());
        Dialog d;
        d.Press("1043");
        QTRY_COMPARE_WITH_TIMEOUT(transferStep.load(), 0, 10000);
        QVERIFY(d.CancelEnabled());
        QTest::qWait(1200);
        QCOMPARE(sign.Lines(), ExpectedRequests().mid(0, 3));
        QCOMPARE(d.counts.last(), QString("3"));
        QCOMPARE(d.progress.last(), 3);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(seam.texts(), std::vector<std::string>{"Mode Error"});

        d.Press("1043");  // starts again at page 1
        QTRY_COMPARE_WITH_TIMEOUT(sign.Lines().size(), 4, 3000);
        QCOMPARE(sign.Lines()[3], QString("RCA01"));
        QTest::keyClick(&d.dialog, Qt::Key_Escape);
        QCOMPARE(transferStep.load(), 0);
    }

    void closingDuringTheRunEndsIt() {
        test::SimulatedSign sign(dir_.path());
        test::RecordingSeam seam;
        test::LinkToSign link(sign.link());
        Dialog d;
        d.Press("1043");
        QTRY_COMPARE_WITH_TIMEOUT(d.counts.size(), 2, 5000);
        d.dialog.close();  // the close box, Cancel being disabled
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(transferStep.load(), 0);
        QVERIFY(!d.dialog.timer().isActive());
        QTest::qWait(1200);
        QCOMPARE(sign.Lines().size(), 2);
    }
};

QTEST_MAIN(AppReadBackTest)
#include "app_read_back_test.moc"
