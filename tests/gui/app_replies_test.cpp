// Replies on screen: interpreted on the window thread in order of arrival,
// one at a time; the Qt boxes with their caption, text, icon, buttons and
// owner; shut-down while a box is open.
#include <atomic>
#include <thread>

#include <QAbstractButton>
#include <QEventLoop>
#include <QMessageBox>
#include <QTest>
#include <QThread>

#include "app/main_frame.h"
#include "app/qt_message_seam.h"
#include "app/reply_pump.h"
#include "app_test_support.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "support/recording_seam.h"

using namespace kvt;

namespace {

// Records boxes and keeps each one "open" for a while by running a nested
// event loop, as a real box does.
class SlowSeam : public test::RecordingSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        if (++depth > maxDepth) maxDepth = depth.load();
        errorReplyAtShow.push_back(errorReply.load());
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        BoxResult result = RecordingSeam::Show(box);
        if (whileOpen) whileOpen();
        QEventLoop loop;
        QTimer::singleShot(openMs, &loop, &QEventLoop::quit);
        loop.exec();
        --depth;
        return result;
    }
    std::atomic<int> depth{0};
    int maxDepth = 0;
    int openMs = 150;
    bool onWindowThread = true;
    std::vector<int> errorReplyAtShow;
    std::function<void()> whileOpen;
};

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

}  // namespace

class AppRepliesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ResetSettings();
        ResetReplyState();
        lineMode = 0;
    }

    void linesFromTheReaderAreShownInOrderOneAtATime() {
        SlowSeam seam;
        ReplyPump pump;
        std::thread reader([&pump] {
            for (const char* line : {"E1\r\n", "GN\r\n", "PH12\r\n", "GO\r\n", "E3\r\n"}) pump.Post(line);
        });
        reader.join();
        QTRY_COMPARE_WITH_TIMEOUT(seam.boxes().size(), size_t(4), 5000);
        QTest::qWait(200);
        QCOMPARE(seam.texts(), (std::vector<std::string>{"Parity Error", "Mode Error", "Success",
                                                          "Command Error"}));
        QCOMPARE(seam.maxDepth, 1);
        QVERIFY(seam.onWindowThread);
        // errorReply is set before an error box is shown.
        QCOMPARE(seam.errorReplyAtShow[0], 1);
        QCOMPARE(seam.errorReplyAtShow[1], 1);
        QCOMPARE(panelSettings.hPosition, 12);
        QCOMPARE(pump.waiting(), size_t(0));
    }

    void aLineArrivingWhileABoxIsOpenWaits() {
        SlowSeam seam;
        seam.openMs = 300;
        ReplyPump pump;
        std::vector<size_t> waitingWhileOpen;
        seam.whileOpen = [&] {
            if (seam.boxes().size() == 1) {
                pump.Post("PV07\r\n");
                pump.Post("E0\r\n");
                QTest::qWait(50);
                waitingWhileOpen.push_back(pump.waiting());
            }
        };
        pump.Post("MENU\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(seam.boxes().size(), size_t(2), 5000);
        QCOMPARE(waitingWhileOpen, std::vector<size_t>{2});
        QCOMPARE(panelSettings.vPosition, 7);  // decoded only after the box
        QCOMPARE(seam.texts(), (std::vector<std::string>{"Menu Display", "Framing Error"}));
    }

    void stopDropsWaitingLines() {
        SlowSeam seam;
        ReplyPump pump;
        seam.whileOpen = [&] {
            pump.Post("E2\r\n");
            QTest::qWait(30);
            pump.Stop();
        };
        pump.Post("GN\r\n");
        QTRY_VERIFY(!pump.busy() && !seam.boxes().empty());
        QTest::qWait(100);
        QCOMPARE(seam.texts(), std::vector<std::string>{"Mode Error"});
        pump.Post("GO\r\n");
        QTest::qWait(50);
        QCOMPARE(seam.boxes().size(), size_t(1));
    }

    void qtBoxesCarryTheirStyle() {
        QtMessageSeam seam;
        QWidget owner;
        owner.show();
        messageOwner = &owner;
        BoxSeen seen;
        AnswerBox(&seen, QMessageBox::Ok);
        WarningBox("Can't file open");
        QCOMPARE(seen.title, QString("Error"));
        QCOMPARE(seen.text, QString("Can't file open"));
        QCOMPARE(seen.icon, int(QMessageBox::Warning));
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.parent, &owner);
        QCOMPARE(seen.modality, int(Qt::ApplicationModal));

        AnswerBox(&seen, QMessageBox::Ok);
        SuccessBox();
        QCOMPARE(seen.title, QString("設定完了"));
        QCOMPARE(seen.icon, int(QMessageBox::NoIcon));

        AnswerBox(&seen, QMessageBox::Ok);
        PortStyleBox("Miss! File Open");
        QCOMPARE(seen.icon, int(QMessageBox::Critical));
        QVERIFY(seen.parent == nullptr);

        AnswerBox(&seen, QMessageBox::Yes);
        QVERIFY(AskYesNo("データを保存せずに終了しますか？"));
        QCOMPARE(seen.title, QString("KVT-540M"));
        QCOMPARE(seen.icon, int(QMessageBox::Question));
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        AnswerBox(&seen, QMessageBox::No);
        QVERIFY(!AskYesNo("データを保存せずに終了しますか？"));
        messageOwner = nullptr;
    }

    // An owner window that has gone since it was stored is not used.
    void aClosedOwnerIsNotUsed() {
        QtMessageSeam seam;
        auto* owner = new QWidget;
        messageOwner = owner;
        delete owner;
        BoxSeen seen;
        AnswerBox(&seen, QMessageBox::Ok);
        ErrorBox("Mode Error");
        QCOMPARE(seen.text, QString("Mode Error"));
        QVERIFY(seen.parent == nullptr);
        messageOwner = nullptr;
    }

    void aBoxFromAnotherThreadIsShownOnTheWindowThread() {
        QtMessageSeam seam;
        BoxSeen seen;
        AnswerBox(&seen, QMessageBox::Ok);
        std::atomic<bool> done{false};
        std::thread other([&] {
            ErrorBox("No Connect");
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        other.join();
        QCOMPARE(seen.text, QString("No Connect"));
    }

    // Kept last: it ends the event loop, after which no exec() runs here.
    // Shutting down while a reply's box is open and another reply waits:
    // the box closes, the waiting line is dropped, nothing hangs.
    void shutDownWithABoxOpenAndALineWaiting() {
        QtMessageSeam seam;
        ReplyPump pump;
        CMainFrame frame(nullptr, &pump);
        frame.show();
        bool quit = false;
        connect(&frame, &CMainFrame::quitRequested, this, [&quit] {
            quit = true;
            QCoreApplication::exit(0);
        });
        test::WhenModal([&](QWidget*) {
            pump.Post("E1\r\n");
            QTimer::singleShot(50, &frame, [&frame] { frame.ShutDown(); });
        });
        pump.Post("GN\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(quit && !pump.busy(), 5000);
        QCOMPARE(pump.waiting(), size_t(0));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(AppRepliesTest)
#include "app_replies_test.moc"
