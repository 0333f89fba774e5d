// Replies on screen: lines from the reader thread interpreted on the window
// thread in order of arrival, one at a time; the Qt boxes with their caption,
// text, icon, buttons and owner, also when asked for from other threads;
// shut-down while a box is open. Also run under ThreadSanitizer.
#include <atomic>
#include <thread>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QThread>

#include "app/main_frame.h"
#include "app/qt_message_seam.h"
#include "app/reply_pump.h"
#include "app_test_support.h"
#include "session_rig.h"
#include "support/qt_test_main.h"

using namespace kvt;

namespace {

struct BoxSeen {
    QString title, text;
    int icon = -1;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
    int modality = -1;
};

// Answers the next QMessageBox with the given button after noting it.
void AnswerBox(BoxSeen* seen, QMessageBox::StandardButton button) {
    test::WhenModal([seen, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            w->close();
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        seen->parent = box->parentWidget();
        seen->modality = box->windowModality();
        box->button(button)->click();
    });
}

// Answers every QMessageBox that comes up (Yes where it can), noting its
// text, until stopped.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            texts << box->text();
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        });
        timer_.start();
    }
    QStringList texts;

private:
    QTimer timer_;
};

}  // namespace

class AppRepliesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SessionRig> rig_;

    // Keeps each box "open" while the window thread's events run, as the
    // nested event loop of a real box does; notes what it saw.
    struct OpenBoxes {
        int depth = 0;
        int maxDepth = 0;
        bool onWindowThread = true;
        std::vector<int> errorReplyAtShow;
    };
    void KeepBoxesOpen(OpenBoxes* seen, std::function<void()> whileOpen = {}) {
        rig_->boxes.whileOpen = [this, seen, whileOpen](const BoxRequest&) {
            seen->maxDepth = std::max(seen->maxDepth, ++seen->depth);
            seen->errorReplyAtShow.push_back(rig_->session.errorReply.load());
            seen->onWindowThread = seen->onWindowThread && QThread::currentThread() == qApp->thread();
            if (whileOpen) whileOpen();
            for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
            --seen->depth;
        };
    }

private slots:
    void init() { rig_ = std::make_unique<test::SessionRig>(); }

    void linesFromTheReaderAreShownInOrderOneAtATime() {
        OpenBoxes seen;
        KeepBoxesOpen(&seen);
        ReplyPump pump(rig_->session);
        std::thread reader([&pump] {
            for (const char* line : {"E1\r\n", "GN\r\n", "PH12\r\n", "GO\r\n", "E3\r\n"}) {
                pump.Post(line);
                std::this_thread::yield();
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(rig_->boxes.boxes().size(), size_t(4), 5000);
        reader.join();
        QCOMPARE(rig_->boxes.texts(), (std::vector<std::string>{"Parity Error", "Mode Error",
                                                                "Success", "Command Error"}));
        QCOMPARE(seen.maxDepth, 1);
        QVERIFY(seen.onWindowThread);
        // errorReply is set before an error box is shown.
        QCOMPARE(seen.errorReplyAtShow[0], 1);
        QCOMPARE(seen.errorReplyAtShow[1], 1);
        QCOMPARE(rig_->session.panelSettings.hPosition, 12);
        QCOMPARE(pump.waiting(), size_t(0));
    }

    // Lines posted by another thread while a box is open wait for it.
    void aLineArrivingWhileABoxIsOpenWaits() {
        OpenBoxes seen;
        ReplyPump pump(rig_->session);
        std::vector<size_t> waitingWhileOpen;
        KeepBoxesOpen(&seen, [&] {
            if (rig_->boxes.boxes().size() != 1) return;
            std::thread reader([&pump] {
                pump.Post("PV07\r\n");
                pump.Post("E0\r\n");
            });
            reader.join();
            for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
            waitingWhileOpen.push_back(pump.waiting());
            QCOMPARE(rig_->session.panelSettings.vPosition, 8);
        });
        pump.Post("MENU\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(rig_->boxes.boxes().size(), size_t(2), 5000);
        QCOMPARE(waitingWhileOpen, std::vector<size_t>{2});
        QCOMPARE(rig_->session.panelSettings.vPosition, 7);  // decoded only after the box
        QCOMPARE(rig_->boxes.texts(), (std::vector<std::string>{"Menu Display", "Framing Error"}));
        QCOMPARE(seen.maxDepth, 1);
    }

    void stopDropsWaitingLines() {
        OpenBoxes seen;
        ReplyPump pump(rig_->session);
        KeepBoxesOpen(&seen, [&] {
            pump.Post("E2\r\n");
            pump.Stop();
        });
        pump.Post("GN\r\n");
        QTRY_VERIFY(!pump.busy() && !rig_->boxes.boxes().empty());
        pump.Post("GO\r\n");
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"Mode Error"});
        QCOMPARE(pump.waiting(), size_t(0));
    }

    void qtBoxesCarryTheirStyle() {
        QtMessageSeam seam;
        Session& session = rig_->session;
        session.SetSeam(&seam);
        QWidget owner;
        owner.show();
        session.messageOwner = &owner;
        BoxSeen seen;
        AnswerBox(&seen, QMessageBox::Ok);
        session.WarningBox("Can't file open");
        QCOMPARE(seen.title, QString("Error"));
        QCOMPARE(seen.text, QString("Can't file open"));
        QCOMPARE(seen.icon, int(QMessageBox::Warning));
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.parent, &owner);
        QCOMPARE(seen.modality, int(Qt::ApplicationModal));

        AnswerBox(&seen, QMessageBox::Ok);
        session.Report(Outcome::Of(OutcomeKind::Success));
        QCOMPARE(seen.title, QString("設定完了"));
        QCOMPARE(seen.icon, int(QMessageBox::NoIcon));

        AnswerBox(&seen, QMessageBox::Ok);
        session.Report(Outcome::Link("Miss! File Open"));
        QCOMPARE(seen.icon, int(QMessageBox::Critical));
        QVERIFY(seen.parent == nullptr);

        AnswerBox(&seen, QMessageBox::Yes);
        QVERIFY(session.AskYesNo("データを保存せずに終了しますか？"));
        QCOMPARE(seen.title, QString("KVT-540M"));
        QCOMPARE(seen.icon, int(QMessageBox::Question));
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        AnswerBox(&seen, QMessageBox::No);
        QVERIFY(!session.AskYesNo("データを保存せずに終了しますか？"));
        session.SetSeam(nullptr);
    }

    // An owner window that has gone since it was stored is not used.
    void aClosedOwnerIsNotUsed() {
        QtMessageSeam seam;
        auto* owner = new QWidget;
        delete owner;
        BoxSeen seen;
        AnswerBox(&seen, QMessageBox::Ok);
        seam.Show(ErrorBoxRequest("Mode Error", owner));
        QCOMPARE(seen.text, QString("Mode Error"));
        QVERIFY(seen.parent == nullptr);
    }

    // Boxes asked for by two other threads at once are shown on the window
    // thread, one after the other, each caller getting its own answer.
    void boxesFromOtherThreadsAreShownOnTheWindowThread() {
        QtMessageSeam seam;
        BoxAnswerer answerer;
        std::atomic<int> done{0};
        BoxResult question = BoxResult::No, error = BoxResult::No;
        std::thread asker([&] {
            question = seam.Show(QuestionBoxRequest("データを保存せずに終了しますか？"));
            ++done;
        });
        std::thread reporter([&] {
            error = seam.Show(ErrorBoxRequest("No Connect", nullptr));
            ++done;
        });
        QTRY_COMPARE_WITH_TIMEOUT(done.load(), 2, 5000);
        asker.join();
        reporter.join();
        QCOMPARE(question, BoxResult::Yes);
        QCOMPARE(error, BoxResult::Ok);
        answerer.texts.sort();
        QCOMPARE(answerer.texts, QStringList({"No Connect", "データを保存せずに終了しますか？"}));
    }

    // Kept last: it ends the event loop, after which no exec() runs here.
    // Shutting down while a reply's box is open and another reply waits:
    // the box closes, the waiting line is dropped, nothing hangs.
    void shutDownWithABoxOpenAndALineWaiting() {
        QtMessageSeam seam;
        rig_->session.SetSeam(&seam);
        ReplyPump pump(rig_->session);
        CMainFrame frame(rig_->line, &pump);
        frame.show();
        bool quit = false;
        connect(&frame, &CMainFrame::quitRequested, this, [&quit] {
            quit = true;
            QCoreApplication::exit(0);
        });
        test::WhenModal([&](QWidget*) {
            pump.Post("E1\r\n");
            QTimer::singleShot(0, &frame, [&frame] { frame.ShutDown(); });
        });
        pump.Post("GN\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(quit && !pump.busy(), 5000);
        QCOMPARE(pump.waiting(), size_t(0));
        QVERIFY(!QApplication::activeModalWidget());
        rig_->session.SetSeam(nullptr);
    }
};

KVT_QTEST(AppRepliesTest)
#include "app_replies_test.moc"
