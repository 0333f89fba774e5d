// The colour and blink pages' all-pages runs end to end: order, pacing,
// counter, the one "Success", the stop on an error reply, a skipped page,
// one run at a time.
#include "sheet_support.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

namespace {
std::string BlinkLine(int page) {
    return QStringLiteral("P%1BDLT0000000\r\n").arg(page, 2, 10, QChar('0')).toStdString();
}
}  // namespace

class SheetRunsTest : public QObject, SheetRig {
    Q_OBJECT
private slots:
    // Blink pages every 200 ms, the first one period after the press: 6.4 s.
    // Each page goes to the slave the blink page's own combo shows.
    void blinkRunSendsAllPagesAndFollowsItsSlaveCombo() {
        sign().AnswerAll("GO\r\n");
        session().lineMode = 1;
        session().slaveNo = 4;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* colour = ShowTab(sheet, 3);
        QWidget* page = ShowTab(sheet, 4);
        auto* counter = Control<QLineEdit>(page, 1031);
        Click(page, 1023);
        rig_->clock.AdvanceTo(1000);
        QCOMPARE(sign().lines.size(), size_t(5));
        QCOMPARE(counter->text(), QString("5"));
        Choose(page, 1009, 9);  // the next pages go to slave 09
        rig_->clock.AdvanceTo(2000);
        Choose(colour, 1009, 12);  // another page's choice: not for this run
        QCOMPARE(session().slaveNo, 12);
        rig_->clock.AdvanceTo(6399);
        QVERIFY(rig_->engine.running());
        rig_->clock.AdvanceTo(6400);
        QCOMPARE(session().transferStep.load(), 0);
        rig_->clock.Advance(100);

        QCOMPARE(sign().lines.size(), size_t(32));
        for (int p = 1; p <= 32; ++p) {
            const size_t i = p - 1;
            QCOMPARE(sign().lines[i], (p <= 5 ? "04" : "09") + BlinkLine(p));
            QCOMPARE(sign().times[i], Millis(200 * p));
        }
        QCOMPARE(session().slaveNo, 9);
        QCOMPARE(counter->text(), QString("32"));
        QCOMPARE(boxes().texts(), std::vector<std::string>{"Success"});
    }

    void anErrorReplyEndsTheRunAtTheNextTick() {
        sign().answer = [](const std::string&, size_t n) { return n == 5 ? "E1\r\n" : "GO\r\n"; };
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 4);
        Click(page, 1023);
        rig_->clock.AdvanceTo(1199);  // page 5 at 1000, its error reply 10 ms later
        QCOMPARE(boxes().texts(), std::vector<std::string>{"Parity Error"});
        QVERIFY(rig_->engine.running());
        rig_->clock.AdvanceTo(1200);
        QCOMPARE(session().transferStep.load(), 0);
        rig_->clock.Advance(1000);
        QCOMPARE(sign().lines.size(), size_t(5));
        QCOMPARE(Control<QLineEdit>(page, 1031)->text(), QString("5"));
        QCOMPARE(session().errorReply.load(), 0);
    }

    void anErrorLeftBySingleSendEndsTheNextRunAtOnce() {
        sign().AnswerAll("GN\r\n");
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 3);
        Click(page, 1010);
        rig_->clock.Advance(50);
        QCOMPARE(session().errorReply.load(), 1);
        sign().AnswerAll("GO\r\n");
        Click(page, 1023);
        rig_->clock.Advance(200);
        QCOMPARE(session().transferStep.load(), 0);
        QCOMPARE(sign().lines.size(), size_t(1));
        QCOMPARE(Control<QLineEdit>(page, 1030)->text(), QString());
        Click(page, 1023);  // again: a normal run
        rig_->clock.Advance(200);
        QCOMPARE(sign().lines.size(), size_t(2));
        QCOMPARE(sign().lines.back(), std::string("P01ICLT70707070707070\r\n"));
    }

    // The box of a page that cannot be sent stays open for 900 ms: the
    // ticks meanwhile are lost, and the run goes on at the beat after it.
    void colourRunSkipsABlankPageWhileItsBoxIsOpen() {
        sign().AnswerAll("GO\r\n");
        boxes().whileOpen = [this](const BoxRequest& box) {
            if (box.text == "Miss! Can't Set") rig_->clock.Advance(900);
        };
        session().panelSettings.charColor[2][3] = session().panelSettings.edgeColor[2][3] = 8;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 3);
        Click(page, 1023);
        rig_->clock.AdvanceTo(7200);
        QCOMPARE(session().transferStep.load(), 0);
        rig_->clock.Advance(100);

        QCOMPARE(sign().lines.size(), size_t(31));
        QCOMPARE(sign().lines[1].substr(0, 3), std::string("P02"));
        QCOMPARE(sign().lines[2].substr(0, 3), std::string("P04"));
        // Page 3's tick at 600 held its box until 1500; page 4 went at 1600.
        QCOMPARE(sign().times[1], Millis(400));
        QCOMPARE(sign().times[2], Millis(1600));
        QCOMPARE(sign().times.back(), Millis(7200));
        QCOMPARE(Control<QLineEdit>(page, 1030)->text(), QString("32"));
        QCOMPARE(boxes().texts(), (std::vector<std::string>{"Miss! Can't Set", "Success"}));
    }

    void onlyOneRunAtATime() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* colour = ShowTab(sheet, 3);
        Click(colour, 1023);
        rig_->clock.Advance(400);
        QCOMPARE(sign().lines.size(), size_t(2));
        Click(colour, 1023);
        Click(ShowTab(sheet, 4), 1023);
        Click(ShowTab(sheet, 0), 1023);
        rig_->clock.Advance(450);
        QCOMPARE(sign().lines.size(), size_t(4));
        // The run goes on out of sight and stays in order.
        for (size_t i = 0; i < sign().lines.size(); ++i) {
            QCOMPARE(sign().lines[i].substr(3, 4), std::string("ICLT"));
            QCOMPARE(std::stoi(sign().lines[i].substr(1, 2)), int(i) + 1);
        }
        QCOMPARE(Control<QLineEdit>(sheet.page(4), 1031)->text(), QString());
    }

    void init() { NewRig(); }
};

KVT_QTEST(SheetRunsTest)
#include "sheet_runs_test.moc"
