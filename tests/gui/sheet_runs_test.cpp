// The colour and blink pages' all-pages runs end to end: order, pacing,
// counter, the one "Success", the stop on an error reply, a skipped page,
// one run at a time.
#include "sheet_support.h"

using namespace kvt;
using namespace kvt::test;

namespace {
std::string BlinkLine(int page) {
    return QStringLiteral("P%1BDLT0000000\r\n").arg(page, 2, 10, QChar('0')).toStdString();
}
}  // namespace

class SheetRunsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetAll(); }

    void blinkRunSendsAllPagesAndFollowsItsSlaveCombo() {
        RecordingSeam seam;
        AnsweringPort port;
        port.reply = "GO\r\n";
        lineMode = 1;
        slaveNo = 4;
        CMyPropertySheet sheet;
        QWidget* page = ShowTab(sheet, 4);
        auto* counter = Control<QLineEdit>(page, 1031);
        const qint64 pressed = port.clock.elapsed();
        Click(page, 1023);
        QTRY_COMPARE(port.lines.size(), size_t(5));
        QCOMPARE(counter->text(), QString("5"));
        Choose(page, 1009, 9);  // the next pages go to slave 09
        QTRY_COMPARE_WITH_TIMEOUT(transferStep.load(), 0, 10000);
        QTest::qWait(50);

        QCOMPARE(port.lines.size(), size_t(32));
        for (int p = 1; p <= 32; ++p) {
            const size_t i = p - 1;
            QCOMPARE(port.lines[i], (p <= 5 ? "04" : "09") + BlinkLine(p));
        }
        QCOMPARE(counter->text(), QString("32"));
        QCOMPARE(seam.texts(), std::vector<std::string>{"Success"});
        QVERIFY(port.times[0] - pressed >= 190 && port.times[0] - pressed < 350);
        const qint64 span = port.times.back() - port.times[0];
        QVERIFY2(span >= 6100 && span < 6500, qPrintable(QString::number(span)));
    }

    void anErrorReplyEndsTheRunAtTheNextTick() {
        RecordingSeam seam;
        AnsweringPort port;
        port.replyFor = [](size_t n) { return n == 5 ? "E1\r\n" : "GO\r\n"; };
        CMyPropertySheet sheet;
        QWidget* page = ShowTab(sheet, 4);
        Click(page, 1023);
        QTRY_COMPARE_WITH_TIMEOUT(transferStep.load(), 0, 3000);
        QTest::qWait(400);
        QCOMPARE(port.lines.size(), size_t(5));
        QCOMPARE(Control<QLineEdit>(page, 1031)->text(), QString("5"));
        QCOMPARE(seam.texts(), std::vector<std::string>{"Parity Error"});
        QCOMPARE(errorReply.load(), 0);
    }

    void anErrorLeftBySingleSendEndsTheNextRunAtOnce() {
        RecordingSeam seam;
        AnsweringPort port;
        port.reply = "GN\r\n";
        CMyPropertySheet sheet;
        QWidget* page = ShowTab(sheet, 3);
        Click(page, 1010);
        QTRY_COMPARE(errorReply.load(), 1);
        port.reply = "GO\r\n";
        Click(page, 1023);
        QTRY_COMPARE(transferStep.load(), 0);
        QCOMPARE(port.lines.size(), size_t(1));
        QCOMPARE(Control<QLineEdit>(page, 1030)->text(), QString());
        Click(page, 1023);  // again: a normal run
        QTRY_COMPARE(port.lines.size(), size_t(2));
        QCOMPARE(port.lines.back(), std::string("P01ICLT70707070707070\r\n"));
    }

    void colourRunSkipsABlankPageWhileItsBoxIsOpen() {
        HoldingSeam seam("Miss! Can't Set", 900);
        AnsweringPort port;
        port.reply = "GO\r\n";
        panelSettings.charColor[2][3] = panelSettings.edgeColor[2][3] = 8;
        CMyPropertySheet sheet;
        QWidget* page = ShowTab(sheet, 3);
        Click(page, 1023);
        QTRY_COMPARE_WITH_TIMEOUT(transferStep.load(), 0, 12000);
        QTest::qWait(50);

        QCOMPARE(port.lines.size(), size_t(31));
        QCOMPARE(port.lines[1].substr(0, 3), std::string("P02"));
        QCOMPARE(port.lines[2].substr(0, 3), std::string("P04"));
        // No tick ran while the box was open; the run went on after it.
        const qint64 gap = port.times[2] - port.times[1];
        QVERIFY2(gap >= 1100 && gap < 1400, qPrintable(QString::number(gap)));
        QCOMPARE(Control<QLineEdit>(page, 1030)->text(), QString("32"));
        QCOMPARE(seam.texts(), (std::vector<std::string>{"Miss! Can't Set", "Success"}));
    }

    void onlyOneRunAtATime() {
        AnsweringPort port;
        CMyPropertySheet sheet;
        QWidget* colour = ShowTab(sheet, 3);
        Click(colour, 1023);
        QTRY_COMPARE(port.lines.size(), size_t(2));
        Click(colour, 1023);
        Click(ShowTab(sheet, 4), 1023);
        Click(ShowTab(sheet, 0), 1023);
        QTest::qWait(450);
        for (const std::string& line : port.lines) QCOMPARE(line.substr(3, 4), std::string("ICLT"));
        // The run goes on out of sight and stays in order.
        for (size_t i = 0; i < port.lines.size(); ++i)
            QCOMPARE(std::stoi(port.lines[i].substr(1, 2)), int(i) + 1);
    }
};

QTEST_MAIN(SheetRunsTest)
#include "sheet_runs_test.moc"
