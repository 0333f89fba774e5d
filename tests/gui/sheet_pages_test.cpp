// The single-send pages: what each edit writes into the store and the exact
// line each "設定" puts on the wire, in RS-232C and RS-485 mode.
#include <QCheckBox>

#include "settings/settings_file.h"
#include "sheet_support.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

class SheetPagesTest : public QObject, SheetRig {
    Q_OBJECT
private slots:
    // Every control of every page that changes the settings marks them
    // modified, so that New, Open and Exit ask to save them.
    void everyEditMarksTheSettingsModified() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QStringList edits;
        for (int tab = 0; tab < kSheetPageCount; ++tab) {
            QWidget* page = ShowTab(sheet, tab);
            for (QWidget* control : page->findChildren<QWidget*>()) {
                if (!control->isEnabled() || !control->isVisibleTo(page)) continue;
                session().modified = 0;
                const std::string before = FormatSettings(session().panelSettings, 0);
                if (auto* combo = qobject_cast<QComboBox*>(control)) {
                    const int next = (combo->currentIndex() + 1) % combo->count();
                    combo->setCurrentIndex(next);
                    emit combo->activated(next);
                } else if (qobject_cast<QCheckBox*>(control)) {
                    QTest::mouseClick(control, Qt::LeftButton);
                } else if (qobject_cast<QLineEdit*>(control)) {
                    QTest::keyClicks(control, QStringLiteral("Q"));
                }
                if (FormatSettings(session().panelSettings, 0) == before) continue;
                const QString edit = QString("tab %1 control %2").arg(tab).arg(control->objectName());
                edits << edit;
                QVERIFY2(session().modified == 1, qPrintable(edit + " changed the settings unmarked"));
            }
        }
        // Seven texts, seven fills, eight white levels, fourteen colours,
        // seven blinks, eight display times, two positions.
        QCOMPARE(edits.size(), 53);
    }

    void fillBorderBitsFollowTheLineNotTheId() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 1);
        Choose(page, 1008, 11);  // page 12
        QCOMPARE(session().modified, 0);
        Click(page, 1015);  // "3行目"
        QCOMPARE(session().panelSettings.fillMask[11], 4);
        Click(page, 1014);  // "4行目"
        QCOMPARE(session().panelSettings.fillMask[11], 12);
        QCOMPARE(session().modified, 1);
        Click(page, 1014);  // twice: back to the old mask, still modified
        QCOMPARE(session().panelSettings.fillMask[11], 4);
        for (int id : {1012, 1013, 1014, 1016, 1017, 1018}) Click(page, id);
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), std::string("P12FBLT7F\r\n"));
    }

    void fillBorderKeepsBitSevenAndSendsAllPagesAtOnce() {
        session().lineMode = 1;
        session().panelSettings.fillMask[0] = 0x80;
        session().panelSettings.fillMask[31] = 0x05;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 1);
        Choose(page, 1009, 3);
        Click(page, 1012);
        QCOMPARE(session().panelSettings.fillMask[0], 0x81);
        Choose(page, 1008, 5);  // the one-command send ignores the page
        Click(page, 1023);
        QCOMPARE(sign().lines.back(), "03PTFB81" + Repeat("00", 30) + "05\r\n");
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), std::string("03P06FBLT00\r\n"));
    }

    void fillBorderAllPagesGoesOutDuringAnotherRun() {
        session().transferStep = 7;
        CMyPropertySheet sheet(session(), rig_->engine);
        Click(ShowTab(sheet, 1), 1023);
        QCOMPARE(sign().lines.size(), size_t(1));
        QCOMPARE(session().transferStep.load(), 7);
    }

    void whiteLevelRowsFollowTheGroup() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 2);
        QCOMPARE(Control<QLineEdit>(page, 1032)->text(), QString("1"));
        QCOMPARE(sign().lines.size(), size_t(0));
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), "PTWL" + Repeat("H", 32) + "\r\n");
        Choose(page, 1040, 1);  // "P 9～16"
        QCOMPARE(Control<QLineEdit>(page, 1032)->text(), QString("9"));
        QCOMPARE(Control<QLineEdit>(page, 1039)->text(), QString("16"));
        QCOMPARE(session().modified, 0);
        Choose(page, 1018, 0);  // sixth row: page 14
        QCOMPARE(session().panelSettings.whiteLevel[13], 0);
        QCOMPARE(session().modified, 1);
        Choose(page, 1040, 3);
        Choose(page, 1020, 0);  // page 32
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), "PTWL" + Repeat("H", 13) + "L" + Repeat("H", 17) + "L\r\n");
    }

    void whiteLevelOutsideTheListShowsNoSelectionAndSendsHigh() {
        session().panelSettings.whiteLevel[2] = 5;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 2);
        QCOMPARE(Control<QComboBox>(page, 1015)->currentIndex(), -1);
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), "PTWL" + Repeat("H", 32) + "\r\n");
    }

    void colourEditsAndSendUseThisPagesCombos() {
        session().lineMode = 1;
        session().slaveNo = 2;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 3);
        Choose(page, 1008, 4);  // page 5
        Choose(page, 1016, 1);  // line 2 red
        QCOMPARE(session().panelSettings.charColor[4][1], 1);
        Choose(page, 1028, 8);  // line 7 border blank: still sendable
        QCOMPARE(session().panelSettings.edgeColor[4][6], 8);
        QCOMPARE(session().modified, 1);
        Choose(page, 1009, 5);
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), std::string("05P05ICLT70107070707078\r\n"));
        QCOMPARE(session().currentPage, 4);
        QCOMPARE(session().slaveNo, 5);
    }

    void colourBlankOnBothSidesIsRefusedOnce() {
        for (int line : {1, 4}) session().panelSettings.charColor[0][line] = session().panelSettings.edgeColor[0][line] = 8;
        CMyPropertySheet sheet(session(), rig_->engine);
        Click(ShowTab(sheet, 3), 1010);
        QCOMPARE(sign().lines.size(), size_t(0));
        QCOMPARE(boxes().texts(), std::vector<std::string>{"Miss! Can't Set"});
        QVERIFY(!sign().closed);  // the port stays open
    }

    void blinkSendAndPageChange() {
        session().panelSettings.blinkMode[1][2] = 2;
        session().panelSettings.blinkMode[3][0] = 4;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 4);
        Choose(page, 1008, 3);
        QCOMPARE(Control<QComboBox>(page, 1015)->currentText(), QString("4"));
        QCOMPARE(session().modified, 0);
        Choose(page, 1008, 1);
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), std::string("P02BDLT0020000\r\n"));
        Choose(page, 1021, 3);
        QCOMPARE(session().panelSettings.blinkMode[1][6], 3);
        QCOMPARE(session().modified, 1);
    }

    void displayOnOffTakesTheChoiceOnlyAtSend() {
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            QWidget* page = ShowTab(sheet, 5);
            QCOMPARE(Control<QComboBox>(page, 1016)->currentText(), QString("表示"));
            Choose(page, 1016, 0);
        }
        QCOMPARE(session().displayOn, 1);
        QCOMPARE(sign().lines.size(), size_t(0));
        session().lineMode = 1;
        session().slaveNo = 7;
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            QWidget* page = ShowTab(sheet, 5);
            QCOMPARE(Control<QComboBox>(page, 1016)->currentIndex(), 1);
            Click(page, 1010);
            QCOMPARE(sign().lines.back(), std::string("07IDON\r\n"));
            Choose(page, 1016, 0);
            Click(page, 1010);
            QCOMPARE(sign().lines.back(), std::string("07IDOF\r\n"));
        }
        CMyPropertySheet again(session(), rig_->engine);
        QCOMPARE(Control<QComboBox>(ShowTab(again, 5), 1016)->currentIndex(), 0);
        QCOMPARE(session().modified, 0);
    }

    void pageSelectMovesTheSharedPage() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* select = ShowTab(sheet, 6);
        Choose(select, 1017, 11);
        QCOMPARE(session().currentPage, 11);
        QCOMPARE(session().modified, 1);
        Click(select, 1010);
        QCOMPARE(sign().lines.back(), std::string("P12\r\n"));
        // A page not yet shown opens at the new page.
        QCOMPARE(Control<QComboBox>(ShowTab(sheet, 4), 1008)->currentIndex(), 11);
        Choose(select, 1017, 32);
        QCOMPARE(session().panelSettings.sequenceMode, 1);
        QCOMPARE(session().currentPage, 0);
        Click(select, 1010);
        QCOMPARE(sign().lines.back(), std::string("PAS\r\n"));
    }

    void pageSelectSendsTheStoreNotItsCombo() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* select = ShowTab(sheet, 6);
        Choose(select, 1017, 4);
        QWidget* blink = ShowTab(sheet, 4);
        Choose(blink, 1008, 8);
        Click(blink, 1010);
        ShowTab(sheet, 6);
        Click(select, 1010);
        QCOMPARE(sign().lines.back(), std::string("P09\r\n"));
        QCOMPARE(Control<QComboBox>(select, 1017)->currentText(), QString("05"));
    }

    void pageSelectOpensAtSequence() {
        session().panelSettings.sequenceMode = 1;
        session().currentPage = 6;
        CMyPropertySheet sheet(session(), rig_->engine);
        QCOMPARE(Control<QComboBox>(ShowTab(sheet, 6), 1017)->currentText(), QString("Sequence"));
    }

    void displayTimeStoresForTheGroupAndSendsAllPages() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 7);
        Click(page, 1010);
        QCOMPARE(sign().lines.back(), "PTCT" + Repeat("02", 32) + "\r\n");
        Choose(page, 1040, 1);
        QCOMPARE(Control<QLineEdit>(page, 1034)->text(), QString("11"));
        Choose(page, 1020, 30);  // row 2: page 11
        QCOMPARE(session().panelSettings.displayTime[10], 30);
        QCOMPARE(Control<QComboBox>(page, 1020)->currentText(), QString("30"));
        QCOMPARE(Control<QComboBox>(page, 1018)->itemText(5), QString(" 5"));
        Choose(page, 1040, 3);
        Choose(page, 1025, 99);  // page 32
        Click(page, 1010);
        QCOMPARE(sign().lines.back(),
                 "PTCT" + Repeat("02", 10) + "30" + Repeat("02", 20) + "99\r\n");
    }

    void positionSendsOnlyItsOwnValue() {
        session().lineMode = 1;
        session().slaveNo = 3;
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 8);
        QCOMPARE(Control<QComboBox>(page, 1021)->currentText(), QString("08"));
        Click(page, 1022);
        QCOMPARE(sign().lines.back(), std::string("03PH08\r\n"));
        Choose(page, 1021, 15);
        QCOMPARE(session().panelSettings.hPosition, 15);
        QCOMPARE(session().modified, 1);
        Click(page, 1024);
        QCOMPARE(sign().lines.back(), std::string("03PV08\r\n"));
        Choose(page, 1023, 0);
        Click(page, 1024);
        QCOMPARE(sign().lines.back(), std::string("03PV00\r\n"));
        Click(page, 1022);
        QCOMPARE(sign().lines.back(), std::string("03PH15\r\n"));
    }

    void positionOutOfRangeIsNotOverwritten() {
        session().panelSettings.hPosition = 20;  // from a hand-edited file
        CMyPropertySheet sheet(session(), rig_->engine);
        QWidget* page = ShowTab(sheet, 8);
        QCOMPARE(Control<QComboBox>(page, 1021)->currentIndex(), -1);
        Click(page, 1022);
        QCOMPARE(session().panelSettings.hPosition, 20);
        QCOMPARE(sign().lines.size(), size_t(0));
        QCOMPARE(boxes().boxes().size(), size_t(1));  // told, not silently dropped
    }

    void init() { NewRig(); }
};

KVT_QTEST(SheetPagesTest)
#include "sheet_pages_test.moc"
