// The all-items dialog on the virtual clock: a whole run at its pace with
// boxes held open, the stop on an error reply, a close during the run (also
// while a step's box is open), and the reply pace of the fast transfer.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/all_items_dlg.h"
#include "session_rig.h"
#include "support/all_items.h"
#include "support/qt_test_main.h"

using namespace kvt;
using kvt::test::AllItemsHeads;
using kvt::test::HeadsOf;

namespace {


void Remove(std::vector<std::string>* v, const std::string& item) {
    v->erase(std::find(v->begin(), v->end(), item));
}

}  // namespace

class AppAllItemsTest : public QObject {
    Q_OBJECT

    struct Dialog {
        CAllItemsDlg dialog;
        QStringList counts;
        QSignalSpy finished{&dialog, &QDialog::finished};
        Dialog(RunEngine& engine, const Pacing& pacing = {}) : dialog(engine, pacing) {
            QObject::connect(dialog.findChild<QLineEdit*>("1024"), &QLineEdit::textChanged,
                             [this](const QString& t) { counts << t; });
            dialog.show();
        }
        void Press(const char* id) { dialog.findChild<QPushButton*>(id)->click(); }
    };

    std::unique_ptr<test::SessionRig> rig_;

private slots:
    void init() {
        rig_ = std::make_unique<test::SessionRig>();
        rig_->sign.AnswerAll("GO\r\n");
    }

    // A page text that cannot be sent and a blank/blank colour page are
    // skipped with their messages, each box held open for 1100 ms; the rest
    // goes out once, in order: texts every 500 ms, from "PTFB" on every
    // 200 ms, the ticks while a box is open lost.
    void wholeRunAtItsPace() {
        Session& s = rig_->session;
        s.panelSettings.lineText[2][1] = "AB";
        s.panelSettings.charColor[4][0] = 8;
        s.panelSettings.edgeColor[4][0] = 8;
        rig_->HoldBoxes(1100);

        Dialog d(rig_->engine);
        QCOMPARE(d.dialog.findChild<QPushButton*>("1041")->text(), QString("全項目の設定"));
        d.Press("1041");
        QCOMPARE(s.transferStep.load(), 1);
        d.Press("1041");  // a second press changes nothing
        rig_->clock.AdvanceTo(32499);
        QCOMPARE(d.finished.count(), 0);
        rig_->clock.AdvanceTo(32500);  // 30.5 s and 2 s of beats lost to the boxes
        QCOMPARE(d.finished.count(), 1);
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(s.transferStep.load(), 0);
        QVERIFY(!rig_->engine.running());
        rig_->clock.Advance(2000);  // the last reply and its box

        QStringList expectedCounts;
        for (int step = 1; step <= 103; ++step) expectedCounts << QString::number(step);
        QCOMPARE(d.counts, expectedCounts);
        std::vector<std::string> expected = AllItemsHeads();
        Remove(&expected, "CA03");
        Remove(&expected, "P05ICLT");
        QCOMPARE(HeadsOf(rig_->sign.lines, expected), expected);
        QCOMPARE(rig_->boxes.texts(),
                 (std::vector<std::string>{"ＪＩＳ第１水準,第２水準以外の字が選択されてます",
                                           "Miss! Can't Set", "Success"}));
        QCOMPARE(rig_->boxes.boxes()[2].caption, std::string("設定完了"));

        // Step 3's box (1500..2600) takes the beats at 2000 and 2500; the
        // step after 33 (17500) comes 200 ms later; step 40's box
        // (18900..20000) takes five 200 ms beats.
        const std::vector<Millis>& times = rig_->sign.times;
        QCOMPARE(times.size(), expected.size());
        QCOMPARE(times.front(), Millis(500));
        for (size_t i = 1; i < times.size(); ++i) {
            const std::string& head = expected[i];
            Millis gap = i < 32 ? 500 : 200;
            if (head == "CA04") gap = 2 * 500 + 2 * 500;
            if (head == "PTFB") gap = 500 + 200;
            if (head == "P06ICLT") gap = 2 * 200 + 5 * 200;
            QVERIFY2(times[i] - times[i - 1] == gap,
                     qPrintable(QString::fromStdString(head) + " " +
                                QString::number(times[i] - times[i - 1])));
        }
    }

    void errorReplyStopsTheRun() {
        rig_->sign.answer = [](const std::string&, size_t n) { return n == 5 ? "E1\r\n" : "GO\r\n"; };
        Dialog d(rig_->engine);
        d.Press("1041");
        rig_->clock.AdvanceTo(2999);  // step 5 at 2500, its error reply 10 ms later
        QVERIFY(rig_->engine.running());
        rig_->clock.AdvanceTo(3000);  // the next tick stops without sending
        QVERIFY(!rig_->engine.running());
        QCOMPARE(rig_->session.transferStep.load(), 0);
        rig_->clock.Advance(2000);
        QCOMPARE(rig_->sign.lines.size(), size_t(5));
        QCOMPARE(d.counts.last(), QString("5"));
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"Parity Error"});
        QCOMPARE(rig_->session.errorReply.load(), 0);

        // Pressed again, the run starts over with page 1, one period later.
        d.Press("1041");
        rig_->clock.Advance(500);
        QCOMPARE(rig_->sign.lines.size(), size_t(6));
        QCOMPARE(rig_->sign.lines[5].substr(0, 4), std::string("CA01"));
        d.Press("2");
        QCOMPARE(rig_->session.transferStep.load(), 0);
    }

    void closingDuringTheRunEndsIt() {
        {
            Dialog d(rig_->engine);
            d.Press("1041");
            rig_->clock.Advance(1500);
            QCOMPARE(d.counts.size(), 3);
            d.dialog.close();  // the window's close box
            QCOMPARE(d.finished.count(), 1);
            QCOMPARE(rig_->session.transferStep.load(), 0);
            QVERIFY(!rig_->engine.running());
        }
        rig_->clock.Advance(5000);
        QCOMPARE(rig_->sign.lines.size(), size_t(3));
        // Nothing is left blocked: a new run can start.
        Dialog again(rig_->engine);
        again.Press("1041");
        QCOMPARE(rig_->session.transferStep.load(), 1);
        QTest::keyClick(&again.dialog, Qt::Key_Escape);
        QCOMPARE(rig_->session.transferStep.load(), 0);
        rig_->clock.Advance(5000);
        QCOMPARE(rig_->sign.lines.size(), size_t(3));
    }

    // Closed while step 3's box is open: that step finishes, nothing follows.
    void closingWhileAStepsBoxIsOpenEndsTheRunAfterIt() {
        rig_->session.panelSettings.lineText[2][1] = "AB";
        Dialog d(rig_->engine);
        rig_->boxes.whileOpen = [&](const BoxRequest&) {
            rig_->clock.Advance(300);
            d.dialog.close();
            rig_->clock.Advance(300);
        };
        d.Press("1041");
        rig_->clock.Advance(1500);
        QCOMPARE(rig_->boxes.boxes().size(), size_t(1));
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(rig_->session.transferStep.load(), 0);
        QVERIFY(!rig_->engine.running());
        rig_->clock.Advance(5000);
        QCOMPARE(rig_->sign.lines.size(), size_t(2));
        QCOMPARE(d.counts, QStringList({"1", "2"}));
    }

    // Reply pacing: each command goes out 20 ms after the reply to the one
    // before; step 33 sends nothing and takes no time.
    void fastTransferGoesAtThePaceOfTheReplies() {
        rig_->sign.answerDelayMs = 7;
        Dialog d(rig_->engine, Pacing{Pace::Reply, kDefaultReplyGapMs});
        d.Press("1041");
        rig_->clock.Advance(0);
        QCOMPARE(rig_->sign.times, std::vector<Millis>{0});
        rig_->clock.Advance(5000);
        QCOMPARE(d.finished.count(), 1);
        QCOMPARE(d.counts.size(), 103);
        const std::vector<Millis>& times = rig_->sign.times;
        QCOMPARE(times.size(), size_t(102));
        for (size_t i = 1; i < times.size(); ++i) QCOMPARE(times[i] - times[i - 1], Millis(27));
        QCOMPARE(HeadsOf(rig_->sign.lines, AllItemsHeads()), AllItemsHeads());
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"Success"});
    }

    // Reply pacing into silence: "No Connect" on the beat of the reply
    // time-out, and the run stops there; the dialog stays.
    void fastTransferStopsWhenTheSignIsSilent() {
        rig_->sign.answer = [](const std::string&, size_t n) { return n < 3 ? "GO\r\n" : ""; };
        rig_->replyTimer.Restart();
        Dialog d(rig_->engine, Pacing{Pace::Reply, kDefaultReplyGapMs});
        d.Press("1041");
        rig_->clock.Advance(10000);
        QCOMPARE(rig_->sign.lines.size(), size_t(3));
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"No Connect"});
        QVERIFY(!rig_->engine.running());
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.counts.last(), QString("3"));
    }
};

KVT_QTEST(AppAllItemsTest)
#include "app_all_items_test.moc"
