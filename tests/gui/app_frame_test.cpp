// The main frame: its window, menus and status bar, the exit procedure for
// the menu item and the close box, the reply time-out and the maintenance
// gesture.
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/about_dlg.h"
#include "app/dialog_units.h"
#include "app/main_frame.h"
#include "app_test_support.h"
#include "serial/command_port.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "support/recording_seam.h"
#include "serial/comm_setting_dlg.h"
#include "transfer/all_items_dlg.h"
#include "transfer/read_setting_dlg.h"

using namespace kvt;

class AppFrameTest : public QObject {
    Q_OBJECT

    QAction* Action(int id) { return frame_->findChild<QAction*>(QString::number(id)); }
    void ContextRequest(QPoint global, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse) {
        QWidget* target = frame_->menuBar();
        QContextMenuEvent event(reason, target->mapFromGlobal(global), global);
        QApplication::sendEvent(target, &event);
    }

    QTemporaryDir dir_;
    test::RecordingSeam seam_;
    CMainFrame* frame_ = nullptr;
    QStringList chosen_;  // paths the stand-in file dialog returns
    int dialogs_ = 0;

private slots:
    void initTestCase() {
        CKVT540MDoc::SetFileChooser([this](bool) {
            ++dialogs_;
            return chosen_.isEmpty() ? QString() : chosen_.takeFirst();
        });
    }
    void init() {
        ResetSettings();
        ResetReplyState();
        seam_.clear();
        dialogs_ = 0;
        frame_ = new CMainFrame;
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_));
    }
    void cleanup() {
        frame_->ShutDown();
        delete frame_;
    }

    void windowMenusAndStatusBar() {
        QCOMPARE(frame_->windowTitle(), QString("Information scroller"));
        QCOMPARE(frame_->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(frame_->size(), QSize(640, 223));
        QCOMPARE(frame_->minimumSize(), frame_->maximumSize());
        QVERIFY(!(frame_->windowFlags() & Qt::WindowMaximizeButtonHint));
        QStringList titles;
        for (QAction* a : frame_->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"File", "Set", "Information"}));
        QCOMPARE(Action(32774)->statusTip(), QString("新規にファイルを作成"));
        QCOMPARE(Action(57665)->text(), QString("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
        QCOMPARE(Action(32778)->statusTip(), QString("全項目の設定"));
        QVERIFY(Action(32773)->statusTip().isEmpty());
        QCOMPARE(Action(57664)->text(), QString("KVT-540-M のﾊﾞｰｼﾞｮﾝ情報..."));
        QStringList panes;
        for (QLabel* l : frame_->statusBar()->findChildren<QLabel*>()) panes << l->text();
        for (const char* t : {"ﾚﾃﾞｨ", "ｶﾅ", "CAP", "NUM", "SCRL"}) QVERIFY(panes.contains(QString(t)));
    }

    void exitWithoutChangesEnds() {
        QSignalSpy quit(frame_, &CMainFrame::quitRequested);
        Action(57665)->trigger();
        QCOMPARE(quit.count(), 1);
        QVERIFY(frame_->hasShutDown());
        QVERIFY(seam_.boxes().empty());
    }

    void exitAnsweredYesEndsWithoutSaving() {
        modified = 1;
        fileName = (dir_.path() + "/yes.dat").toStdString();
        seam_.AnswerNext(true);
        Action(57665)->trigger();
        QVERIFY(frame_->hasShutDown());
        QCOMPARE(seam_.texts(), std::vector<std::string>{"データを保存せずに終了しますか？"});
        QCOMPARE(seam_.boxes()[0].caption, std::string("KVT-540M"));
        QVERIFY(!QFile::exists(QString::fromStdString(fileName)));
    }

    void exitAnsweredNoSavesAndStays() {
        modified = 1;
        fileName = (dir_.path() + "/no.dat").toStdString();
        seam_.AnswerNext(false);
        Action(57665)->trigger();
        QVERIFY(!frame_->hasShutDown());
        QVERIFY(QFile::exists(QString::fromStdString(fileName)));
        QCOMPARE(modified, 0);
        QCOMPARE(dialogs_, 0);
        // Without a file name "No" opens save as; cancelling it keeps the program.
        modified = 1;
        fileName.clear();
        seam_.AnswerNext(false);
        Action(57665)->trigger();
        QCOMPARE(dialogs_, 1);
        QVERIFY(!frame_->hasShutDown());
        QCOMPARE(modified, 1);
    }

    void closeBoxRunsTheExitProcedure() {
        modified = 1;
        seam_.AnswerNext(false);
        QVERIFY(!frame_->close());
        QVERIFY(frame_->isVisible());
        QCOMPARE(seam_.boxes().size(), size_t(1));
        QCOMPARE(dialogs_, 1);  // no file name: save as
        seam_.AnswerNext(true);
        frame_->close();
        QVERIFY(frame_->hasShutDown());
        QVERIFY(!frame_->isVisible());
    }

    void ctrlSRunsTheMenusSave() {
        fileName = (dir_.path() + "/ctrl-s.dat").toStdString();
        modified = 1;
        frame_->activateWindow();
        QTest::keyClick(frame_, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(QString::fromStdString(fileName)));
        QCOMPARE(modified, 0);
    }

    // "No Connect" on the seventh tick after the write, and only once a
    // menu has started timer 1.
    void replyTimeOutNeedsTheMenuTimer() {
        test::RecordingPort port;
        SendCommand("RP\r\n");
        QTest::qWait(3700);
        QVERIFY(seam_.boxes().empty());
        QVERIFY(!frame_->replyTimer().isActive());

        replyPending = 0;
        QMenu* menu = frame_->findChild<QMenu*>("menuSet");
        menu->popup(QPoint(0, 20));
        menu->hide();
        QVERIFY(frame_->replyTimer().isActive());
        QCOMPARE(frame_->replyTimer().interval(), 500);
        QElapsedTimer clock;
        clock.start();
        SendCommand("RP\r\n");
        while (seam_.boxes().empty() && clock.elapsed() < 5000) QTest::qWait(5);
        qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 2950 && elapsed <= 3560, qPrintable(QString::number(elapsed)));
        BoxRequest box = seam_.boxes()[0];
        QCOMPARE(box.text, std::string("No Connect"));
        QCOMPARE(box.caption, std::string("Error"));
        QCOMPARE(int(box.icon), int(BoxIcon::Hand));
        QTest::qWait(1200);
        QCOMPARE(seam_.boxes().size(), size_t(1));
    }

    void gestureOpensTheReadBack() {
        QString opened;
        auto expectDialog = [&] {
            test::WhenModal([&](QWidget* w) {
                opened = w->objectName();
                w->close();
            });
        };
        // Four inside, one outside: the run starts over.
        for (int i = 0; i < 4; ++i) ContextRequest(QPoint(3, 3));
        ContextRequest(QPoint(16, 3));
        for (int i = 0; i < 4; ++i) ContextRequest(QPoint(15, 15));
        QTest::qWait(50);
        QVERIFY(opened.isEmpty());
        expectDialog();
        ContextRequest(QPoint(-1, -1), QContextMenuEvent::Keyboard);  // the fifth
        QCOMPARE(opened, QString("145"));
        QCOMPARE(transferStep.load(), 0);
        // The run starts over after the dialog.
        opened.clear();
        for (int i = 0; i < 4; ++i) ContextRequest(QPoint(0, 0));
        QTest::qWait(50);
        QVERIFY(opened.isEmpty());
    }

    // Dialog layouts come from dialog units of the Japanese dialog font.
    void dialogLayoutsFromDialogUnits() {
        QFont font = DialogFont();
        QVERIFY(QFontInfo(font).family().startsWith("IPA"));
        CAllItemsDlg all;
        CReadSettingDlg read;
        CCommSettingDlg comm;
        CAboutDlg about;
        QCOMPARE(all.size(), DialogSize(font, 163, 45));
        QCOMPARE(all.findChild<QWidget*>("1041")->geometry(), DialogRect(font, 10, 15, 50, 14));
        QCOMPARE(all.findChild<QWidget*>("2")->geometry(), DialogRect(font, 100, 15, 50, 14));
        QCOMPARE(read.size(), DialogSize(font, 194, 84));
        QCOMPARE(read.findChild<QWidget*>("1045")->geometry(), DialogRect(font, 7, 33, 180, 14));
        QCOMPARE(comm.size(), DialogSize(font, 154, 79));
        QCOMPARE(comm.findChild<QWidget*>("1")->geometry(), DialogRect(font, 15, 55, 50, 14));
        QCOMPARE(about.size(), DialogSize(font, 123, 55));
        auto* version = about.findChild<QLabel*>("version");
        QVERIFY(version->width() >= version->sizeHint().width());  // not cut off
        QString shots = qEnvironmentVariable("KVT_SHOT_DIR");
        if (!shots.isEmpty()) {
            for (QWidget* w : std::initializer_list<QWidget*>{&all, &read, &comm, &about, frame_})
                w->grab().save(shots + "/" + w->objectName() + ".png");
        }
    }

    void aboutBox() {
        QString title, text;
        test::WhenModal([&](QWidget* w) {
            title = w->windowTitle();
            for (QLabel* l : w->findChildren<QLabel*>())
                if (!l->text().isEmpty()) text = l->text();
            QTest::mouseClick(w->findChild<QWidget*>("1"), Qt::LeftButton);
        });
        Action(57664)->trigger();
        QCOMPARE(title, QString("KVT540Mのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(text, QString("KVT-540-M Version 1.34"));
    }
};

QTEST_MAIN(AppFrameTest)
#include "app_frame_test.moc"
