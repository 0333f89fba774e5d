// The all-items dialog end to end against the simulated sign: a whole run,
// the stop on an error reply, and a close during the run.
#include <time.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app_bulk_support.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "transfer/all_items_dlg.h"

using namespace kvt;

namespace {

double MonotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

QString Two(int n) { return QString::asprintf("%02d", n); }

// The heads of the 102 commands of a run with default settings.
QStringList ExpectedHeads() {
    QStringList heads;
    for (int p = 1; p <= 32; ++p) heads << "CA" + Two(p);
    heads << "PTFB" << "PTWL";
    for (int p = 1; p <= 32; ++p) heads << "P" + Two(p) + "ICLT";
    for (int p = 1; p <= 32; ++p) heads << "P" + Two(p) + "BDLT";
    heads << "P01" << "PTCT" << "PH08" << "PV08";
    return heads;
}

QStringList Heads(const QStringList& lines, const QStringList& like) {
    QStringList out;
    for (int i = 0; i < lines.size(); ++i)
        out << lines[i].left(i < like.size() ? like[i].size() : 4);
    return out;
}

}  // namespace

class AppAllItemsTest : public QObject {
    Q_OBJECT

    struct Dialog {
        CAllItemsDlg dialog;
        QStringList counts;
        QSignalSpy finished{&dialog, &QDialog::finished};
        Dialog() {
            QObject::connect(dialog.findChild<QLineEdit*>("1024"), &QLineEdit::textChanged,
                             [this](const QString& t) { counts << t; });
            dialog.show();
        }
        void Press(const char* id) { dialog.findChild<QPushButton*>(id)->click(); }
    };

    QTemporaryDir dir_;

private slots:
    void init() {
        ResetSettings();
        ResetReplyState();
        lineMode = 0;
    }

    // A page text that cannot be sent and a blank/blank colour page are
    // skipped with their messages; everything else goes out once, in order.
    void wholeRun() {
        test::SimulatedSign sign(dir_.path());
        QVERIFY(sign.running());
        test::HoldingSeam seam;
        seam.openMs = 1200;
        test::LinkToSign link(sign.link());
        panelSettings.lineText[2][1] = "AB";
        panelSettings.charColor[4][0] = 8;
        panelSettings.edgeColor[4][0] = 8;

        Dialog d;
        QCOMPARE(d.dialog.findChild<QPushButton*>("1041")->text(), QString("全項目の設定"));
        double pressed = MonotonicSeconds();
        d.Press("1041");
        QCOMPARE(transferStep.load(), 1);
        d.Press("1041");  // a second press changes nothing
        QTRY_COMPARE_WITH_TIMEOUT(d.finished.count(), 1, 40000);
        double closedAfter = MonotonicSeconds() - pressed;
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(transferStep.load(), 0);
        QVERIFY(!d.dialog.timer().isActive());

        QStringList expectedCounts;
        for (int s = 1; s <= 103; ++s) expectedCounts << QString::number(s);
        QCOMPARE(d.counts, expectedCounts);

        QTest::qWait(2500);  // the last replies and their boxes
        QStringList expected = ExpectedHeads();
        expected.removeAll("CA03");
        expected.removeAll("P05ICLT");
        QStringList lines = sign.Lines();
        QCOMPARE(Heads(lines, expected), expected);
        std::vector<std::string> texts = seam.texts();
        QCOMPARE(texts, (std::vector<std::string>{"ＪＩＳ第１水準,第２水準以外の字が選択されてます",
                                                 "Miss! Can't Set", "Success"}));
        QCOMPARE(seam.boxes()[2].caption, std::string("設定完了"));

        // The pace: 500 ms for the texts, 200 ms from "PTFB" on (after the
        // 200 ms of the re-arming step 33); the steps whose box was held
        // open add the box's time and nothing runs meanwhile.
        QList<double> times = sign.Times();
        QCOMPARE(times.size(), expected.size());
        double first = times.first() - pressed;
        QVERIFY2(first > 0.45 && first < 0.6, qPrintable(QString::number(first)));
        for (int i = 1; i < times.size(); ++i) {
            double gap = times[i] - times[i - 1];
            QString head = expected[i];
            double period = i < 32 ? 0.5 : 0.2;
            if (head == "PTFB") period = 0.7;
            if (head == "CA04") period = 1.0;  // CA03 skipped
            if (head == "P06ICLT") period = 0.4;  // P05ICLT skipped
            if (head == "CA04" || head == "P06ICLT") {
                QVERIFY2(gap > period + 1.15 && gap < period + 1.75, qPrintable(head + QString::number(gap)));
            } else {
                QVERIFY2(gap > period - 0.12 && gap < period + 0.12, qPrintable(head + QString::number(gap)));
            }
        }
        // 30.5 s plus the two boxes.
        QVERIFY2(closedAfter > 32.8 && closedAfter < 34.6, qPrintable(QString::number(closedAfter)));
    }

    void errorReplyStopsTheRun() {
        test::SimulatedSign sign(dir_.path(), {"--reply", "5=E1"});
        test::RecordingSeam seam;
        test::LinkToSign link(sign.link());
        Dialog d;
        d.Press("1041");
        QTRY_COMPARE_WITH_TIMEOUT(transferStep.load(), 0, 10000);
        QTest::qWait(1200);
        QCOMPARE(sign.Lines().size(), 5);
        QCOMPARE(d.counts.last(), QString("5"));
        QVERIFY(d.dialog.isVisible());
        QVERIFY(!d.dialog.timer().isActive());
        QCOMPARE(seam.texts(), std::vector<std::string>{"Parity Error"});
        QCOMPARE(errorReply.load(), 0);

        // Pressed again, the run starts over with page 1.
        d.Press("1041");
        QTRY_COMPARE_WITH_TIMEOUT(sign.Lines().size(), 6, 3000);
        QVERIFY(sign.Lines()[5].startsWith("CA01"));
        d.Press("2");
        QCOMPARE(transferStep.load(), 0);
    }

    void closingDuringTheRunEndsIt() {
        test::SimulatedSign sign(dir_.path());
        test::RecordingSeam seam;
        test::LinkToSign link(sign.link());
        Dialog d;
        d.Press("1041");
        QTRY_COMPARE_WITH_TIMEOUT(d.counts.size(), 3, 5000);
        d.dialog.close();  // the window's close box
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(transferStep.load(), 0);
        QVERIFY(!d.dialog.timer().isActive());
        QTest::qWait(1200);
        QCOMPARE(sign.Lines().size(), 3);
        // Nothing is left blocked: a new run can start.
        Dialog again;
        again.Press("1041");
        QCOMPARE(transferStep.load(), 1);
        QTest::keyClick(&again.dialog, Qt::Key_Escape);
        QCOMPARE(transferStep.load(), 0);
    }
};

QTEST_MAIN(AppAllItemsTest)
#include "app_all_items_test.moc"
