// The main frame: its window, menus and status bar, the exit procedure for
// the menu item and the close box, the reply time-out, the maintenance
// gesture and the fast-transfer choice.
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "support/qt_test_main.h"
#include "widgets/dialog_units.h"
#include "app/main_frame.h"
#include "app_test_support.h"
#include "dialogs/all_items_dlg.h"
#include "dialogs/comm_setting_dlg.h"
#include "dialogs/read_setting_dlg.h"
#include "sheet_support.h"

using namespace kvt;

class AppFrameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::SessionRig> rig_;
    Session& session() { return rig_->session; }
    test::SignOnClock& sign() { return rig_->sign; }
    test::RecordingSeam& boxes() { return rig_->boxes; }
    void NewFrame() {
        frame_ = new CMainFrame(rig_->line);
        frame_->doc().SetFileChooser([this](bool) {
            ++dialogs_;
            return chosen_.isEmpty() ? QString() : chosen_.takeFirst();
        });
        frame_->show();
    }
    void EndFrame() {
        frame_->ShutDown();
        delete frame_;
    }
    // Opens and closes a menu of the frame, as the user does before a command.
    void OpenMenu(const char* name) {
        QMenu* menu = frame_->findChild<QMenu*>(name);
        menu->popup(QPoint(0, 20));
        menu->hide();
    }
    // Runs the all-items dialog from the menu: starts the run, lets the
    // virtual clock run for ms, closes the dialog if it is still open.
    void RunAllItemsFromTheMenu(Millis ms) {
        bool ran = false;
        test::WhenModal([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("144"));
            w->findChild<QPushButton*>("1041")->click();
            rig_->clock.Advance(ms);
            ran = true;
            if (w->isVisible()) w->close();
        });
        Action(32778)->trigger();
        QVERIFY(ran);
    }
    int ProfileInt(const char* key) {
        QSettings profile(test::ProfileFile(config_), QSettings::IniFormat);
        return profile.value(QString("KVT-540-M_Section/") + key, -1).toInt();
    }

    QAction* Action(int id) { return frame_->findChild<QAction*>(QString::number(id)); }
    void ContextRequest(QPoint global, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse) {
        QWidget* target = frame_->menuBar();
        QContextMenuEvent event(reason, target->mapFromGlobal(global), global);
        QApplication::sendEvent(target, &event);
    }

    QTemporaryDir dir_, config_;
    CMainFrame* frame_ = nullptr;
    QStringList chosen_;  // paths the stand-in file dialog returns
    int dialogs_ = 0;

private slots:
    void initTestCase() { test::UsePrivateProfile(config_); }
    void init() {
        QFile::remove(test::ProfileFile(config_));
        rig_ = std::make_unique<test::SessionRig>();
        dialogs_ = 0;
        NewFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame_));
    }
    void cleanup() { EndFrame(); }

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
        QVERIFY(boxes().boxes().empty());
    }

    void exitAnsweredYesEndsWithoutSaving() {
        session().modified = 1;
        session().fileName = (dir_.path() + "/yes.dat").toStdString();
        boxes().AnswerNext(true);
        Action(57665)->trigger();
        QVERIFY(frame_->hasShutDown());
        QCOMPARE(boxes().texts(), std::vector<std::string>{"データを保存せずに終了しますか？"});
        QCOMPARE(boxes().boxes()[0].caption, std::string("KVT-540M"));
        QVERIFY(!QFile::exists(QString::fromStdString(session().fileName)));
    }

    void exitAnsweredNoSavesAndStays() {
        session().modified = 1;
        session().fileName = (dir_.path() + "/no.dat").toStdString();
        boxes().AnswerNext(false);
        Action(57665)->trigger();
        QVERIFY(!frame_->hasShutDown());
        QVERIFY(QFile::exists(QString::fromStdString(session().fileName)));
        QCOMPARE(session().modified, 0);
        QCOMPARE(dialogs_, 0);
        // Without a file name "No" opens save as; cancelling it keeps the program.
        session().modified = 1;
        session().fileName.clear();
        boxes().AnswerNext(false);
        Action(57665)->trigger();
        QCOMPARE(dialogs_, 1);
        QVERIFY(!frame_->hasShutDown());
        QCOMPARE(session().modified, 1);
    }

    void closeBoxRunsTheExitProcedure() {
        session().modified = 1;
        boxes().AnswerNext(false);
        QVERIFY(!frame_->close());
        QVERIFY(frame_->isVisible());
        QCOMPARE(boxes().boxes().size(), size_t(1));
        QCOMPARE(dialogs_, 1);  // no file name: save as
        boxes().AnswerNext(true);
        frame_->close();
        QVERIFY(frame_->hasShutDown());
        QVERIFY(!frame_->isVisible());
    }

    void ctrlSRunsTheMenusSave() {
        session().fileName = (dir_.path() + "/ctrl-s.dat").toStdString();
        session().modified = 1;
        frame_->activateWindow();
        QTest::keyClick(frame_, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(QString::fromStdString(session().fileName)));
        QCOMPARE(session().modified, 0);
    }

    // "No Connect" on the seventh tick after the write (3.0 to 3.5 s after
    // it), and only once a menu has started the beat.
    void replyTimeOutNeedsTheMenuBeat() {
        std::vector<Millis> shownAt;
        boxes().whileOpen = [&](const BoxRequest&) { shownAt.push_back(rig_->clock.Now()); };
        session().SendCommand("RP\r\n");
        rig_->clock.Advance(10000);
        QVERIFY(boxes().boxes().empty());
        QVERIFY(!rig_->replyTimer.active());

        session().replyPending = 0;
        for (Millis offset : {0, 1, 250, 499}) {
            OpenMenu("menuSet");
            QVERIFY(rig_->replyTimer.active());
            rig_->clock.Advance(offset);
            const Millis wrote = rig_->clock.Now();
            session().SendCommand("RP\r\n");
            shownAt.clear();
            rig_->clock.Advance(5000);
            QCOMPARE(shownAt.size(), size_t(1));
            const Millis after = shownAt[0] - wrote;
            QVERIFY2(after >= 3000 && after <= 3500, qPrintable(QString::number(after)));
            QCOMPARE(after, 3500 - offset);
        }
        BoxRequest box = boxes().boxes()[0];
        QCOMPARE(box.text, std::string("No Connect"));
        QCOMPARE(box.caption, std::string("Error"));
        QCOMPARE(int(box.icon), int(BoxIcon::Hand));
        QCOMPARE(boxes().boxes().size(), size_t(4));
        // Shut down, the beat is gone.
        frame_->ShutDown();
        QVERIFY(!rig_->replyTimer.active());
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
        QCOMPARE(session().transferStep.load(), 0);
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
        CAllItemsDlg all(rig_->engine, Pacing{});
        CReadSettingDlg read(rig_->engine, Pacing{});
        CCommSettingDlg comm(session());
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

    // "高速転送": the last entry of the Set menu, checkable, off by default,
    // kept in the profile for the next start.
    void fastTransferEntryIsKeptInTheProfile() {
        QStringList ids, texts;
        for (QAction* a : frame_->findChild<QMenu*>("menuSet")->actions()) {
            ids << a->objectName();
            texts << a->text();
        }
        // The entries of the original menu first, in their order; new ones after.
        QCOMPARE(texts, QStringList({"KVTの設定", "通信の設定", "全項目の設定", "高速転送",
                                     "プレビュー", "デバイスの設定", "複数表示器へ送信",
                                     "フリート..."}));
        QCOMPARE(ids, QStringList({"32773", "32772", "32778", "32779", "32780", "32781", "32782",
                                   "32784"}));
        QAction* fast = Action(32779);
        QVERIFY(fast->isCheckable());
        QVERIFY(!fast->isChecked());
        QVERIFY(!frame_->fastTransfer());
        QCOMPARE(ProfileInt("fast_transfer"), -1);  // nothing written until chosen
        fast->trigger();
        QVERIFY(frame_->fastTransfer());
        QCOMPARE(ProfileInt("fast_transfer"), 1);
        EndFrame();
        NewFrame();  // the next start reads it back
        QVERIFY(Action(32779)->isChecked());
        Action(32779)->trigger();
        QCOMPARE(ProfileInt("fast_transfer"), 0);
        EndFrame();
        NewFrame();
        QVERIFY(!Action(32779)->isChecked());
    }

    // Off, the all-items run ticks at 500 ms; on, each command goes out
    // 20 ms after the reply to the one before (answered after 10 ms).
    void fastTransferPacesTheAllItemsRunByTheReplies() {
        sign().AnswerAll("GO\r\n");
        RunAllItemsFromTheMenu(1000);
        QCOMPARE(sign().times, (std::vector<Millis>{500, 1000}));

        sign().times.clear();
        sign().lines.clear();
        Action(32779)->trigger();
        const Millis start = rig_->clock.Now();
        RunAllItemsFromTheMenu(5000);
        QCOMPARE(sign().lines.size(), size_t(102));
        QCOMPARE(sign().times.front(), start);
        for (size_t i = 1; i < sign().times.size(); ++i)
            QCOMPARE(sign().times[i] - sign().times[i - 1], Millis(30));
        QCOMPARE(boxes().texts(), std::vector<std::string>{"Success"});
    }

    // The read-back opens without a menu: in fast transfer the reply
    // time-out beats anyway, so that a silent sign ends the run.
    void fastReadBackEndsWithNoConnectWithoutAMenu() {
        sign().answer = [](const std::string&, size_t n) { return n < 3 ? "P\r\n" : ""; };
        Action(32779)->trigger();
        QVERIFY(!rig_->replyTimer.active());
        bool ran = false;
        test::WhenModal([&](QWidget* w) {
            w->findChild<QPushButton*>("1043")->click();
            rig_->clock.Advance(5000);
            ran = !rig_->engine.running();
            w->close();
        });
        for (int i = 0; i < 5; ++i) ContextRequest(QPoint(1, 1));
        QVERIFY(ran);
        QCOMPARE(sign().lines.size(), size_t(3));
        QCOMPARE(boxes().texts(), std::vector<std::string>{"No Connect"});
    }

    // The sheet's page runs keep their beat when fast transfer is on.
    void pageRunsStayTimedInFastTransfer() {
        Action(32779)->trigger();
        sign().AnswerAll("GO\r\n");
        test::WhenModal([&](QWidget* w) {
            auto* sheet = qobject_cast<CMyPropertySheet*>(w);
            test::Click(test::ShowTab(*sheet, 3), 1023);
            rig_->clock.Advance(600);
            sheet->reject();
        });
        Action(32773)->trigger();
        QCOMPARE(sign().times, (std::vector<Millis>{200, 400, 600}));
    }

    // The About box shows the application icon, which the program carries
    // at every size it installs.
    void aboutBox() {
        QString title, text;
        QPixmap icon;
        test::WhenModal([&](QWidget* w) {
            title = w->windowTitle();
            for (QLabel* l : w->findChildren<QLabel*>())
                if (!l->text().isEmpty()) text = l->text();
            icon = w->findChild<QLabel*>("icon")->pixmap();
            QTest::mouseClick(w->findChild<QWidget*>("1"), Qt::LeftButton);
        });
        Action(57664)->trigger();
        QCOMPARE(title, QString("KVT540Mのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(text, QString("KVT-540-M Version 1.34"));
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.deviceIndependentSize(), QSizeF(32, 32));
        QCOMPARE(icon.toImage(), AppIconPixmap(32).toImage());
        const QList<QSize> sizes = frame_->windowIcon().availableSizes();
        for (int size : {16, 32, 48, 64, 128, 256}) QVERIFY(sizes.contains(QSize(size, size)));
    }
};

KVT_QTEST(AppFrameTest)
#include "app_frame_test.moc"
