// The sheet as a whole: its tabs and buttons, the one-time loading of each
// page, the page, slave and group values shared between pages, and what
// closing the sheet leaves behind.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>

#include "app_test_support.h"
#include "editor/stacked_tab_bar.h"
#include "sheet_support.h"
#include "settings/cp932.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

class SheetFrameTest : public QObject, SheetRig {
    Q_OBJECT
private slots:
    void tabsButtonsAndTitle() {
        session().fileName = "/tmp/signs/hall.dat";
        CMyPropertySheet sheet(session(), rig_->engine);
        QCOMPARE(sheet.windowTitle(), QString("File Name /tmp/signs/hall.dat"));
        const QStringList captions = {"情報（タイトル）の設定", "文字背景色ベタ塗りの設定",
                                      "文字レベルの設定",       "文字色の設定",
                                      "点滅表示の設定",         "表示/非表示",
                                      "表示ページの設定",       "表示時間の設定",
                                      "表示位置微調整"};
        QCOMPARE(sheet.tabs()->count(), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(sheet.tabs()->tabText(i), captions[i]);
            QCOMPARE(sheet.tabs()->widget(i)->objectName(), QString::number(103 + i));
        }
        QCOMPARE(sheet.tabs()->currentIndex(), 0);
        // Every caption is in sight and a click on it shows its page.
        sheet.show();
        for (int i : {4, 8, 1, 0}) {
            QRect caption = sheet.tabBar()->TabRect(i);
            QVERIFY(sheet.tabBar()->rect().contains(caption));
            QTest::mouseClick(sheet.tabBar(), Qt::LeftButton, {}, caption.center());
            QCOMPARE(sheet.tabs()->currentIndex(), i);
            QVERIFY(sheet.page(i)->initialised());
        }
        auto* buttons = sheet.findChild<QDialogButtonBox*>();
        QVERIFY(!buttons->button(QDialogButtonBox::Apply)->isEnabled());
        QVERIFY(buttons->button(QDialogButtonBox::Ok)->isEnabled());
        session().fileName.clear();
        CMyPropertySheet untitled(session(), rig_->engine);
        QCOMPARE(untitled.windowTitle(), QString("File Name "));
    }

    void runSettingsSheetIsModalAndCancelKeepsEdits() {
        QWidget owner;
        bool checked = false;
        WhenModal([&](QWidget* modal) {
            auto* sheet = qobject_cast<CMyPropertySheet*>(modal);
            QVERIFY(sheet);
            checked = true;
            Choose(ShowTab(*sheet, 8), 1021, 3);
            sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
        RunSettingsSheet(session(), rig_->engine, &owner);
        QVERIFY(checked);
        QCOMPARE(session().panelSettings.hPosition, 3);
        QCOMPARE(session().modified, 1);
        QCOMPARE(session().messageOwner.load(), static_cast<void*>(&owner));
    }

    void slaveComboFollowsTheLineMode() {
        session().slaveNo = 6;
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            for (int tab = 0; tab < 9; ++tab) {
                auto* combo = Control<QComboBox>(ShowTab(sheet, tab), 1009);
                QVERIFY(!combo->isEnabled());
                QCOMPARE(combo->currentText(), QString("06"));
            }
        }
        session().lineMode = 1;
        CMyPropertySheet sheet(session(), rig_->engine);
        auto* first = Control<QComboBox>(sheet.page(0), 1009);
        QVERIFY(first->isEnabled());
        Choose(sheet.page(0), 1009, 12);
        QCOMPARE(session().slaveNo, 12);
        // A page shown later picks up the new slave; a shown one is not refreshed.
        QCOMPARE(Control<QComboBox>(ShowTab(sheet, 2), 1009)->currentIndex(), 12);
        Choose(sheet.page(2), 1009, 1);
        QCOMPARE(first->currentIndex(), 12);
    }

    void pagesLoadOnceAndEditTheSharedPage() {
        std::string one, five;
        Utf8ToCp932("一頁", &one);
        Utf8ToCp932("五頁", &five);
        session().panelSettings.lineText[0][0] = one;
        session().panelSettings.lineText[4][0] = five;
        session().panelSettings.charColor[4][2] = 3;
        CMyPropertySheet sheet(session(), rig_->engine);
        QVERIFY(sheet.page(0)->initialised());
        QVERIFY(!sheet.page(3)->initialised());
        QWidget* colour = ShowTab(sheet, 3);
        QVERIFY(sheet.page(3)->initialised());
        Choose(colour, 1008, 4);
        QCOMPARE(session().currentPage, 4);
        QCOMPARE(Control<QComboBox>(colour, 1017)->currentIndex(), 3);

        // The text page still shows page 1 but stores for page 5.
        QWidget* text = ShowTab(sheet, 0);
        auto* line1 = Control<QLineEdit>(text, 1000);
        QCOMPARE(line1->text(), QString::fromUtf8("一頁"));
        QCOMPARE(Control<QComboBox>(text, 1008)->currentIndex(), 0);
        Type(line1, QString::fromUtf8("目"));
        std::string typed;
        Utf8ToCp932("一頁目", &typed);
        QCOMPARE(session().panelSettings.lineText[4][0], typed);
        QCOMPARE(session().panelSettings.lineText[0][0], one);

        // Coming back to the colour page does not reload it.
        Choose(text, 1008, 0);
        session().panelSettings.charColor[4][2] = 6;
        ShowTab(sheet, 3);
        QCOMPARE(Control<QComboBox>(colour, 1017)->currentIndex(), 3);
        QCOMPARE(Control<QComboBox>(colour, 1008)->currentIndex(), 4);
        // Its "設定" sends the page its own combo shows, and moves currentPage.
        Click(colour, 1010);
        QCOMPARE(sign().lines.back().substr(0, 3), std::string("P05"));
        QCOMPARE(session().currentPage, 4);
    }

    void pageGroupIsSharedBetweenTheGroupPages() {
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            QWidget* white = ShowTab(sheet, 2);
            Choose(white, 1040, 2);  // "P17～24"
            QWidget* time = ShowTab(sheet, 7);
            QCOMPARE(Control<QLineEdit>(time, 1032)->text(), QString("17"));
            QCOMPARE(Control<QComboBox>(time, 1040)->currentText(), QString::fromUtf8("P17～24"));
            Choose(time, 1040, 0);
            // The white level page still shows 17..24, but edits group 1.
            ShowTab(sheet, 2);
            QCOMPARE(Control<QLineEdit>(white, 1032)->text(), QString("17"));
            Choose(white, 1013, 0);
            QCOMPARE(session().panelSettings.whiteLevel[0], 0);
            QCOMPARE(session().panelSettings.whiteLevel[16], 1);
        }
        QCOMPARE(session().pageGroup, 0);
        session().pageGroup = 3;
        CMyPropertySheet again(session(), rig_->engine);  // the group outlives the sheet
        QCOMPARE(Control<QLineEdit>(ShowTab(again, 2), 1039)->text(), QString("32"));
    }

    void closingDuringARunEndsIt() {
        QWidget owner;
        {
            auto* sheet = new CMyPropertySheet(session(), rig_->engine, &owner);
            Click(ShowTab(*sheet, 0), 1023);
            rig_->clock.Advance(500);
            QCOMPARE(sign().lines.size(), size_t(1));
            QCOMPARE(session().transferStep.load(), 2);
            delete sheet;
        }
        QCOMPARE(session().transferStep.load(), 0);
        QVERIFY(!rig_->engine.running());
        QCOMPARE(session().messageOwner.load(), static_cast<void*>(&owner));
        rig_->clock.Advance(5000);
        QCOMPARE(sign().lines.size(), size_t(1));
        // Another run can start afterwards.
        CMyPropertySheet sheet(session(), rig_->engine);
        Click(ShowTab(sheet, 4), 1023);
        rig_->clock.Advance(200);
        QCOMPARE(sign().lines.size(), size_t(2));
    }

    // Leaves a picture of each page in the working folder, to look at.
    void screenshotsOfEveryPage() {
        std::string text;
        Utf8ToCp932("ＫＶＴ案内表示", &text);
        session().panelSettings.lineText[0][0] = text;
        CMyPropertySheet sheet(session(), rig_->engine);
        sheet.show();
        for (int tab = 0; tab < 9; ++tab) {
            ShowTab(sheet, tab);
            const QString path = QStringLiteral("sheet_page_%1.png").arg(103 + tab);
            QVERIFY(sheet.grab().save(path));
            // Every control lies inside its page.
            QWidget* page = sheet.page(tab);
            for (QWidget* child : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                QVERIFY2(page->rect().contains(child->geometry()), qPrintable(child->objectName()));
        }
    }

    void init() { NewRig(); }
};

KVT_QTEST(SheetFrameTest)
#include "sheet_frame_test.moc"
