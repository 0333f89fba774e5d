// The read-back dialog on the virtual clock: a whole run into the store in
// 51.5 s, the stop on an error reply or silence, a close during the run, and
// the reply pace of the fast transfer.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/read_setting_dlg.h"
#include "session_rig.h"
#include "support/qt_test_main.h"

using namespace kvt;

namespace {

std::vector<std::string> ExpectedRequests() {
    std::vector<std::string> lines;
    for (int p = 1; p <= 32; ++p) lines.push_back(QString::asprintf("RCA%02d\r\n", p).toStdString());
    for (int p = 1; p <= 32; ++p) lines.push_back(QString::asprintf("RP%02dBDLT\r\n", p).toStdString());
    for (int p = 1; p <= 32; ++p) lines.push_back(QString::asprintf("RP%02dICLT\r\n", p).toStdString());
    for (const char* r : {"RP", "RPTCT", "RPTFB", "RPTWL", "RPH", "RPV"})
        lines.push_back(std::string(r) + "\r\n");
    return lines;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// What a sign holding a few settings answers to the read requests; the
// other requests get a reply that changes nothing.
std::string SignAnswer(const std::string& request) {
    if (request == "RCA02\r\n") return "CA02" + std::string("2422") + Repeat("2121", 97) + "\r\n";
    if (request == "RP03BDLT\r\n") return "P03BDLTFFNFFFF\r\n";
    if (request == "RP32ICLT\r\n") return "P32COLR12777777777777\r\n";
    if (request == "RP\r\n") return "P050\r\n";
    if (request == "RPTCT\r\n") return "PTCT" + Repeat("02", 7) + "42" + Repeat("02", 24) + "\r\n";
    if (request == "RPTFB\r\n") return "PTFBN" + Repeat("F", 31) + "\r\n";
    if (request == "RPTWL\r\n") return "PTWL" + Repeat("H", 5) + "L" + Repeat("H", 26) + "\r\n";
    if (request == "RPH\r\n") return "PH12\r\n";
    if (request == "RPV\r\n") return "PV03\r\n";
    return "P\r\n";
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
        Dialog(RunEngine& engine, const Pacing& pacing = {}) : dialog(engine, pacing) {
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

    std::unique_ptr<test::SessionRig> rig_;

private slots:
    void init() {
        rig_ = std::make_unique<test::SessionRig>();
        rig_->sign.answer = [](const std::string& line, size_t) { return SignAnswer(line); };
    }

    void wholeRunFillsTheStore() {
        Session& s = rig_->session;
        s.modified = 1;
        s.fileName = "/kept/name.dat";
        Dialog d(rig_->engine);
        QCOMPARE(d.dialog.findChild<QProgressBar*>("1045")->maximum(), 103);
        QVERIFY(d.CancelEnabled());
        d.Press("1043");
        QVERIFY(!d.CancelEnabled());
        d.Press("1043");  // pressed again during the run: nothing
        rig_->clock.AdvanceTo(51499);
        QCOMPARE(d.finished.count(), 0);
        rig_->clock.AdvanceTo(51500);  // 103 requests, one every 500 ms
        QCOMPARE(d.finished.count(), 1);
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(s.transferStep.load(), 0);
        QVERIFY(d.CancelEnabled());
        rig_->clock.Advance(100);  // the reply to "RPV" comes after the dialog

        QStringList expectedCounts;
        QList<int> expectedProgress;
        for (int step = 1; step <= 103; ++step) {
            expectedCounts << QString::number(step);
            expectedProgress << step;
        }
        expectedCounts << "   ";
        expectedProgress << 0;
        QCOMPARE(d.counts, expectedCounts);
        QCOMPARE(d.progress, expectedProgress);
        QVERIFY(!d.cancelEnabled.mid(0, 103).contains(true));

        // Step 97 sends nothing and keeps its place in the beat.
        QCOMPARE(rig_->sign.lines, ExpectedRequests());
        QCOMPARE(rig_->sign.times[95], Millis(96 * 500));
        QCOMPARE(rig_->sign.times[96], Millis(98 * 500));
        QVERIFY(rig_->boxes.boxes().empty());
        const PanelSettings& store = s.panelSettings;
        QCOMPARE(store.lineText[1][0], std::string("\x82\xa0"));  // あ
        QCOMPARE(store.lineText[1][1], std::string());
        QCOMPARE(store.blinkMode[2][2], 1);
        QCOMPARE(store.charColor[31][0], 1);
        QCOMPARE(store.edgeColor[31][0], 2);
        QCOMPARE(store.displayTime[7], 42);
        QCOMPARE(store.fillMask[0], 1);
        QCOMPARE(store.whiteLevel[5], 0);
        QCOMPARE(store.hPosition, 12);
        QCOMPARE(store.vPosition, 3);
        QCOMPARE(s.currentPage, 4);
        QCOMPARE(s.modified, 1);
        QCOMPARE(s.fileName, std::string("/kept/name.dat"));
    }

    void errorReplyStopsTheRun() {
        rig_->sign.answer = [](const std::string& line, size_t n) {
            return n == 3 ? "GN\r\n" : SignAnswer(line);
        };
        Dialog d(rig_->engine);
        d.Press("1043");
        rig_->clock.AdvanceTo(2000);  // request 3 at 1500; the tick at 2000 stops
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QVERIFY(d.CancelEnabled());
        rig_->clock.Advance(2000);
        QCOMPARE(rig_->sign.lines.size(), size_t(3));
        QCOMPARE(d.counts.last(), QString("3"));
        QCOMPARE(d.progress.last(), 3);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"Mode Error"});

        d.Press("1043");  // starts again at page 1
        rig_->clock.Advance(500);
        QCOMPARE(rig_->sign.lines.size(), size_t(4));
        QCOMPARE(rig_->sign.lines[3], std::string("RCA01\r\n"));
        QTest::keyClick(&d.dialog, Qt::Key_Escape);
        QCOMPARE(rig_->session.transferStep.load(), 0);
    }

    // At reply pace a sign that falls silent ends the run with "No Connect";
    // the dialog stays for another try.
    void silenceLeavesTheDialogOpen() {
        rig_->sign.answer = [](const std::string& line, size_t n) {
            return n == 3 ? std::string() : SignAnswer(line);
        };
        rig_->replyTimer.Restart();  // as after a menu of the main window opened
        Dialog d(rig_->engine, Pacing{Pace::Reply, kDefaultReplyGapMs});
        d.Press("1043");
        rig_->clock.Advance(5000);
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"No Connect"});
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.finished.count(), 0);
        QVERIFY(d.CancelEnabled());
        d.Press("1043");  // starts again at page 1
        rig_->clock.Advance(500);
        QVERIFY(rig_->sign.lines.size() > 3);
        QCOMPARE(rig_->sign.lines[3], std::string("RCA01\r\n"));
    }

    void closingDuringTheRunEndsIt() {
        Dialog d(rig_->engine);
        d.Press("1043");
        rig_->clock.Advance(1000);
        QCOMPARE(d.counts.size(), 2);
        d.dialog.close();  // the close box, Cancel being disabled
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QVERIFY(!rig_->engine.running());
        rig_->clock.Advance(5000);
        QCOMPARE(rig_->sign.lines.size(), size_t(2));
    }

    // Reply pacing: each request 20 ms after the reply to the one before;
    // step 97 takes no time.
    void fastTransferGoesAtThePaceOfTheReplies() {
        rig_->sign.answerDelayMs = 12;
        Dialog d(rig_->engine, Pacing{Pace::Reply, kDefaultReplyGapMs});
        d.Press("1043");
        rig_->clock.Advance(5000);
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(d.counts.last(), QString("   "));
        QCOMPARE(rig_->sign.lines, ExpectedRequests());
        const std::vector<Millis>& times = rig_->sign.times;
        for (size_t i = 1; i < times.size(); ++i) QCOMPARE(times[i] - times[i - 1], Millis(32));
        QCOMPARE(rig_->session.panelSettings.vPosition, 3);
    }
};

KVT_QTEST(AppReadBackTest)
#include "app_read_back_test.moc"
