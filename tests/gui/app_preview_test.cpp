// The panel picture: pixels at the coordinates of its element table, the
// file-name caption and its blanking at File new.
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_frame.h"
#include "app/kvt540m_view.h"
#include "frame_rig.h"
#include "settings/settings_file.h"
#include "support/qt_test_main.h"

using namespace kvt;

namespace {

const QColor kPanel(255, 255, 204), kFrame(34, 34, 34), kGrey(80, 80, 80), kGreen(0, 255, 0),
    kDark(128, 128, 128), kBlack(0, 0, 0), kWhite(255, 255, 255);

int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
}

}  // namespace

class AppPreviewTest : public QObject, test::FrameRig {
    Q_OBJECT

    QImage Render() { return frame_->view()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void ExpectAt(const QImage& image, int x, int y, const QColor& colour) {
        QVERIFY2(image.pixelColor(x, y).rgb() == colour.rgb(),
                 qPrintable(QString("(%1,%2) is %3, not %4")
                                .arg(x).arg(y).arg(image.pixelColor(x, y).name(), colour.name())));
    }

    // What the window system holds of the view (and shows when the window
    // is uncovered), as against what a repaint would draw now.
    QImage OnScreen() {
        const QRect area(frame_->view()->mapTo(frame_, QPoint(0, 0)), frame_->view()->size());
        return frame_->screen()
            ->grabWindow(frame_->winId(), area.x(), area.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    bool ShowsCurrentCaption() {
        QTest::qWait(50);  // the repaint, if one was asked for
        return OnScreen() == Render();
    }

private slots:
    void init() { QVERIFY(OpenFrame()); }
    void cleanup() { CloseFrame(); }

    void elementsSitAtTheirPixels() {
        QImage img = Render();
        if (qEnvironmentVariableIsSet("KVT_PREVIEW_PNG")) img.save(qEnvironmentVariable("KVT_PREVIEW_PNG"));
        QVERIFY(img.height() >= 155);
        // 1: the panel, right and bottom edges excluded.
        ExpectAt(img, 0, 0, kPanel);
        ExpectAt(img, 629, 131, kPanel);
        ExpectAt(img, 630, 50, kWhite);
        ExpectAt(img, 300, 132, kWhite);
        // 2: switch body.
        ExpectAt(img, 486, 60, kBlack);
        ExpectAt(img, 503, 95, kBlack);
        ExpectAt(img, 486, 96, kPanel);
        ExpectAt(img, 504, 42, kBlack);
        ExpectAt(img, 575, 113, kBlack);
        ExpectAt(img, 576, 113, kPanel);
        ExpectAt(img, 575, 114, kPanel);
        // 3: the frame drawn on it, its inside left black.
        ExpectAt(img, 516, 45, kFrame);
        ExpectAt(img, 524, 110, kFrame);
        ExpectAt(img, 563, 110, kFrame);
        ExpectAt(img, 540, 53, kFrame);
        ExpectAt(img, 540, 102, kFrame);
        ExpectAt(img, 525, 56, kBlack);
        ExpectAt(img, 554, 100, kBlack);
        // 4: the rule under the title, 3 pixels thick, broken at the switch.
        ExpectAt(img, 12, 24, kGrey);
        ExpectAt(img, 300, 23, kGrey);
        ExpectAt(img, 300, 25, kGrey);
        ExpectAt(img, 300, 21, kPanel);
        ExpectAt(img, 300, 27, kPanel);
        ExpectAt(img, 515, 24, kPanel);
        ExpectAt(img, 566, 24, kPanel);
        ExpectAt(img, 567, 24, kGrey);
        ExpectAt(img, 600, 24, kGrey);
        // 5: the green mark over the switch body.
        for (int y : {70, 73, 76, 79, 82, 85}) ExpectAt(img, 500, y, kGreen);
        ExpectAt(img, 500, 66, kBlack);
        ExpectAt(img, 500, 89, kBlack);
        // 6: the dark grey blocks with their black outline.
        for (int left : {60, 510}) {
            ExpectAt(img, left, 133, kBlack);
            ExpectAt(img, left + 59, 154, kBlack);
            ExpectAt(img, left + 30, 154, kBlack);
            ExpectAt(img, left + 1, 134, kDark);
            ExpectAt(img, left + 58, 153, kDark);
            ExpectAt(img, left + 60, 140, kWhite);
            ExpectAt(img, left + 30, 155, kWhite);
        }
    }

    void textsAreDrawnWhereTheTableSays() {
        QImage img = Render();
        QVERIFY(CountColour(img, QRect(190, 2, 240, 16), kGrey) > 50);   // title
        QCOMPARE(CountColour(img, QRect(100, 2, 80, 16), kGrey), 0);
        QVERIFY(CountColour(img, QRect(480, 42, 16, 16), kGrey) > 5);    // ON
        QVERIFY(CountColour(img, QRect(477, 99, 24, 14), kGrey) > 5);    // OFF
        QVERIFY(CountColour(img, QRect(519, 18, 40, 4), kGrey) > 3);     // POWER above the rule
        QVERIFY(CountColour(img, QRect(534, 60, 16, 16), kWhite) > 5);   // Ι
        QVERIFY(CountColour(img, QRect(534, 81, 16, 16), kWhite) > 5);   // ○
        QVERIFY(CountColour(img, QRect(150, 132, 80, 16), kGrey) > 20);  // "File Name "
    }

    // Open, save and save as each repaint the view, so that the caption
    // names the file in use also after the window is covered and uncovered.
    void openAndSavesRepaintTheCaption() {
        QTemporaryDir dir;
        const QString a = dir.path() + "/a.dat", b = dir.path() + "/b.dat";
        QVERIFY(WriteSettingsFile(a.toStdString(), session().panelSettings, 0, nullptr) ==
                SaveResult::Ok);
        QString chosen;
        frame_->doc().SetFileChooser([&](bool) { return chosen; });
        QVERIFY(ShowsCurrentCaption());
        const QImage before = OnScreen();

        chosen = a;
        frame_->doc().FileOpen();
        QVERIFY(rig_->boxes.boxes().empty());
        QVERIFY(ShowsCurrentCaption());
        QVERIFY(OnScreen() != before);

        chosen = b;
        frame_->doc().FileSaveAs();
        QVERIFY(ShowsCurrentCaption());

        session().fileName = (dir.path() + "/other-name.dat").toStdString();  // no repaint of its own
        frame_->doc().FileSave();
        QVERIFY(ShowsCurrentCaption());

        chosen = dir.path() + "/missing.dat";  // a failed open still names the file
        frame_->doc().FileOpen();
        QVERIFY(ShowsCurrentCaption());
        QCOMPARE(rig_->boxes.texts(), std::vector<std::string>{"Can't file open"});
    }

    void captionShowsTheFileNameAndFileNewBlanksIt() {
        QRect tail(240, 132, 390, 16);
        QCOMPARE(CountColour(Render(), tail, kGrey), 0);
        session().fileName = "/home/user/settings/a-rather-long-folder-name/sign.dat";
        QImage named = Render();
        QVERIFY(CountColour(named, tail, kGrey) > 100);
        // The picture itself does not depend on the store.
        session().panelSettings.charColor[0][0] = 1;
        QCOMPARE(Render().pixelColor(600, 24), named.pixelColor(600, 24));

        frame_->doc().FileNew();
        QImage blank = Render();
        QCOMPARE(CountColour(blank, tail, kGrey), 0);
        QVERIFY(CountColour(blank, QRect(150, 132, 80, 16), kBlack) > 20);
        // Opaque white over the whole 55 characters.
        QVERIFY(CountColour(blank, QRect(240, 134, 340, 12), kWhite) > 340 * 12 * 9 / 10);
        // The next repaint draws the caption again as usual.
        QVERIFY(CountColour(Render(), QRect(150, 132, 80, 16), kGrey) > 20);
        QCOMPARE(CountColour(Render(), QRect(150, 132, 80, 16), kBlack), 0);
    }
};

KVT_QTEST(AppPreviewTest)
#include "app_preview_test.moc"
