// The preview window: its menu entry, its place beside the main window,
// following the settings sheet's edits while the sheet runs modally, the
// blink and the play on a virtual clock, no timer for a still page, and
// its place and size in the profile.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_frame.h"
#include "app_test_support.h"
#include "app/kvt540m_view.h"
#include "preview/led_panel_view.h"
#include "preview/page_preview_window.h"
#include "render/led_colours.h"
#include "settings/cp932.h"
#include "frame_rig.h"
#include "settings/settings_file.h"
#include "sheet_support.h"
#include "support/led_picture.h"
#include "support/qt_test_main.h"
#include "support/test_paths.h"

using namespace kvt;

namespace {

std::string Cp932(const char* utf8) {
    std::string bytes;
    Utf8ToCp932(utf8, &bytes);
    return bytes;
}

}  // namespace

class AppPagePreviewTest : public QObject, test::FrameRig {
    Q_OBJECT

    QAction* Action(int id) { return frame_->findChild<QAction*>(QString::number(id)); }

    PagePreviewWindow* OpenPreview() {
        Action(32780)->trigger();
        PagePreviewWindow* preview = frame_->preview();
        if (preview) preview->SetClock([this] { return now_; });
        return preview;
    }
    // The colour of dot (x, y) of line `line` as the preview paints it now.
    QRgb Dot(PagePreviewWindow* preview, int line, int x, int y) {
        QCoreApplication::processEvents();  // the one paint an edit asks for
        LedPanelView* panel = preview->panel();
        const int s = panel->scale();
        return panel->picture().pixel(x * s + s / 2, (line * 16 + y) * s + s / 2);
    }
    QString Status(PagePreviewWindow* preview) {
        return preview->findChild<QLabel*>("previewStatus")->text();
    }
    QRgb Unlit() const { return LedRgb(kBlackColour, 1); }

    QTemporaryDir dir_;
    int64_t now_ = 1000;  // the preview's virtual clock, ms
    const std::string square_ = Cp932("■");

private slots:
    void initTestCase() { test::UsePrivateProfile(dir_); }
    void init() {
        now_ = 1000;
        QVERIFY(OpenFrame());
    }
    void cleanup() {
        CloseFrame();
        QFile::remove(test::ProfileFile(dir_));
    }

    void entryEndsTheSetMenuAndOpensBesideTheMainWindow() {
        QStringList entries;
        for (QAction* a : frame_->findChild<QMenu*>("menuSet")->actions()) entries << a->text();
        QCOMPARE(entries.mid(0, 3), QStringList({"KVTの設定", "通信の設定", "全項目の設定"}));
        QVERIFY(entries.indexOf("プレビュー") > 2);
        QVERIFY(!frame_->preview());

        PagePreviewWindow* preview = OpenPreview();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->windowTitle(), QString("プレビュー"));
        QVERIFY(preview->isWindow());
        QVERIFY(!preview->isModal());
        QCOMPARE(preview->pos(), QPoint(frame_->frameGeometry().right() + 1, frame_->y()));
        QVERIFY(preview->findChild<QLabel*>("previewNote")->text().contains("一致するとは限りません"));
        // The main window keeps its size and picture; a second open raises the same window.
        QCOMPARE(frame_->size(), QSize(640, 223));
        Action(32780)->trigger();
        QCOMPARE(frame_->findChildren<PagePreviewWindow*>().size(), qsizetype(1));
    }

    // The sheet runs modally; the preview repaints with every edit made in it.
    void followsEveryEditWhileTheSheetRunsModally() {
        session().panelSettings.lineText[2][0] = square_;
        PagePreviewWindow* preview = OpenPreview();
        QCOMPARE(Dot(preview, 0, 8, 8), Unlit());
        QList<QRgb> seen;
        QList<int> pages;
        bool blinkTimer = false;
        test::WhenModal([&](QWidget* modal) {
            auto* sheet = qobject_cast<CMyPropertySheet*>(modal);
            if (!sheet) return;
            QWidget* text = sheet->page(0);
            test::Type(test::Control<QWidget>(text, 1000), "■");
            seen << Dot(preview, 0, 8, 8);  // white strokes
            test::Choose(test::ShowTab(*sheet, 3), 1014, 1);  // character colour red
            seen << Dot(preview, 0, 8, 8);
            test::Click(test::ShowTab(*sheet, 1), 1012);  // fill line 1, border black
            test::Choose(test::ShowTab(*sheet, 3), 1015, 2);  // border green
            seen << Dot(preview, 0, kPanelDotsWide - 1, 8);
            test::Choose(sheet->page(0), 1008, 2);  // page 3 in the text page's Page No.
            pages << preview->shownPage();
            seen << Dot(preview, 0, 8, 8);
            test::Choose(test::ShowTab(*sheet, 4), 1015, 1);  // line 1 of page 3 blinks
            blinkTimer = preview->wakeTimer().isActive();
            sheet->reject();
        });
        Action(32773)->trigger();
        QCOMPARE(seen, QList<QRgb>({qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                    qRgb(255, 255, 255)}));
        QCOMPARE(pages, QList<int>({2}));
        QVERIFY(blinkTimer);
    }

    // Every colour's dots are its own colour, at both white levels.
    void everyColourIsShownInItsOwnColour() {
        PagePreviewWindow* preview = OpenPreview();
        for (const char* file : {"colours.dat", "colours-low.dat"}) {
            const bool low = QString(file).contains("low");
            QVERIFY(ReadSettingsFile(std::string(KVT_TEST_DATA) + "/" + file, &session().panelSettings,
                                     &session().currentPage));
            for (int p = 0; p < 24; ++p) {
                session().currentPage = p;
                emit frame_->view()->storeEdited();
                Dot(preview, 0, 0, 0);  // painted
                for (int line = 0; line < 7; ++line) {
                    const std::string shown =
                        test::LineColours(preview->panel()->picture(), preview->panel()->scale(), line);
                    const std::string expected = test::SampleLineColours(p, line, low);
                    QVERIFY2(shown == expected,
                             qPrintable(QString("%1 page %2 line %3: %4, not %5").arg(file).arg(p + 1)
                                            .arg(line + 1).arg(shown.c_str(), expected.c_str())));
                }
            }
        }
    }

    void fileNewShowsTheEmptyStore() {
        session().panelSettings.lineText[0][0] = square_;
        PagePreviewWindow* preview = OpenPreview();
        QCOMPARE(Dot(preview, 0, 8, 8), qRgb(255, 255, 255));
        Action(32774)->trigger();  // nothing modified: no question
        QCOMPARE(Dot(preview, 0, 8, 8), Unlit());
    }

    // A still page leaves no timer running; a blinking line wakes the
    // window every half second, and only then.
    void blinksOnItsClockAndIsStillOtherwise() {
        session().panelSettings.lineText[0][0] = square_;
        PagePreviewWindow* preview = OpenPreview();
        QVERIFY(!preview->wakeTimer().isActive());
        now_ += 10000;
        QTest::qWait(20);
        QCOMPARE(preview->wakeCount(), 0);

        session().panelSettings.blinkMode[0][0] = 1;
        emit frame_->view()->storeEdited();  // as the sheet tells of an edit
        QVERIFY(preview->wakeTimer().isActive());
        QVERIFY(preview->wakeTimer().remainingTime() <= 500);
        QCOMPARE(Dot(preview, 0, 8, 8), qRgb(255, 255, 255));
        now_ += 500;
        preview->Wake();
        QVERIFY(!preview->blinkLit());
        QCOMPARE(Dot(preview, 0, 8, 8), Unlit());
        now_ += 500;
        preview->Wake();
        QCOMPARE(Dot(preview, 0, 8, 8), qRgb(255, 255, 255));
        // Closed, it keeps no timer either.
        preview->close();
        QVERIFY(!preview->wakeTimer().isActive());
    }

    void playRunsTheSequenceWithItsTimes() {
        for (int p : {0, 3, 5}) session().panelSettings.lineText[p][0] = square_;
        session().panelSettings.displayTime[0] = 1;
        session().panelSettings.displayTime[3] = 3;
        session().panelSettings.displayTime[5] = 2;
        session().panelSettings.sequenceMode = 1;
        PagePreviewWindow* preview = OpenPreview();
        auto* play = preview->findChild<QPushButton*>("playButton");
        QCOMPARE(play->text(), QString("再生"));
        QTest::mouseClick(play, Qt::LeftButton);
        QVERIFY(preview->playing());
        QCOMPARE(play->text(), QString("停止"));
        QList<int> shown{preview->shownPage()};
        QList<int> waits;
        for (int step = 0; step < 4; ++step) {
            const int wait = preview->wakeTimer().remainingTime();
            waits << (wait + 50) / 100 * 100;  // the timer has started a moment ago
            now_ += waits.last();
            preview->Wake();
            shown << preview->shownPage();
        }
        QCOMPARE(shown, QList<int>({0, 3, 5, 0, 3}));
        QCOMPARE(waits, QList<int>({1000, 3000, 2000, 1000}));
        QCOMPARE(Status(preview), QString("Sequence: Page 04 (3 秒)"));
        QTest::mouseClick(play, Qt::LeftButton);  // stop: the selected page, still
        QVERIFY(!preview->playing());
        QCOMPARE(preview->shownPage(), 0);
        QVERIFY(!preview->wakeTimer().isActive());
    }

    void keepsItsPlaceAndSizeInTheProfile() {
        PagePreviewWindow* preview = OpenPreview();
        preview->move(300, 250);
        preview->resize(700, 420);
        preview->close();
        QSettings profile(test::ProfileFile(dir_), QSettings::IniFormat);
        QCOMPARE(profile.value("Preview/geometry").toString(), QString("300 250 700 420"));
        // Open at program end: kept as well.
        preview = OpenPreview();
        preview->move(320, 260);
        frame_->ShutDown();
        delete frame_;
        frame_ = new CMainFrame(rig_->line);
        frame_->show();
        preview = OpenPreview();
        QCOMPARE(preview->pos(), QPoint(320, 260));
        QCOMPARE(preview->size(), QSize(700, 420));
    }
};

KVT_QTEST(AppPagePreviewTest)
#include "app_page_preview_test.moc"
