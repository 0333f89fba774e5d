// The text page: the line limit in code-page-932 bytes while typing, what
// edits and loading write into the store, its sends, the refusal to leave a
// too-long line, and its all-pages run.
#include <QTabWidget>

#include "sheet_support.h"
#include "settings/cp932.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

namespace {
std::string Sjis(const char* utf8) {
    std::string bytes;
    Utf8ToCp932(utf8, &bytes);
    return bytes;
}
const std::string kBlankLine = Repeat("2121", 14);
}  // namespace

class SheetTextTest : public QObject, SheetRig {
    Q_OBJECT
private slots:
    void typingCountsCodePage932Bytes() {
        CMyPropertySheet sheet(session(), rig_->engine);
        auto* line1 = Control<QLineEdit>(sheet.page(0), 1000);
        Type(line1, QString::fromUtf8("あいうえおかきくけこさしすせ"));
        QCOMPARE(line1->text().size(), 14);
        Type(line1, QString::fromUtf8("そ"));  // the 15th: 30 bytes
        QCOMPARE(line1->text().size(), 14);
        QCOMPARE(session().panelSettings.lineText[0][0], Sjis("あいうえおかきくけこさしすせ"));

        auto* line2 = Control<QLineEdit>(sheet.page(0), 1001);
        QTest::keyClicks(line2, QString(28, QLatin1Char('A')));
        QTest::keyClicks(line2, QStringLiteral("B"));
        QCOMPARE(session().panelSettings.lineText[0][1], std::string(28, 'A'));

        // 27 bytes: a full-width character does not fit, a half-width one does.
        auto* line3 = Control<QLineEdit>(sheet.page(0), 1002);
        QTest::keyClicks(line3, QString(27, QLatin1Char('x')));
        Type(line3, QString::fromUtf8("漢"));
        Type(line3, QString::fromUtf8("ｱ"));  // half-width katakana: one byte
        QCOMPARE(session().panelSettings.lineText[0][2], std::string(27, 'x') + "\xB1");

        // A character code page 932 cannot hold is refused.
        auto* line4 = Control<QLineEdit>(sheet.page(0), 1003);
        Type(line4, QString::fromUtf8("a😀b"));
        QCOMPARE(line4->text(), QStringLiteral("ab"));
        QCOMPARE(line4->font().pixelSize(), 16);
        QVERIFY(line4->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void modifiedOnlyForNonEmptyLines() {
        CMyPropertySheet sheet(session(), rig_->engine);
        QCOMPARE(session().modified, 0);  // all lines empty: showing sets nothing
        auto* line = Control<QLineEdit>(sheet.page(0), 1004);
        QTest::keyClicks(line, QStringLiteral("Q"));
        QCOMPARE(session().modified, 1);
        session().modified = 0;
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(session().panelSettings.lineText[0][4], std::string());
        QCOMPARE(session().modified, 0);
    }

    void showingANonEmptyLineSetsModified() {
        session().panelSettings.lineText[0][6] = Sjis("表示");
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            QCOMPARE(Control<QLineEdit>(sheet.page(0), 1006)->text(), QString::fromUtf8("表示"));
            QCOMPARE(session().modified, 1);
        }
        QCOMPARE(session().panelSettings.lineText[0][6], Sjis("表示"));
        // Choosing another page that has a line does it too.
        session().modified = 0;
        session().panelSettings.lineText[3][0] = Sjis("四");
        CMyPropertySheet sheet(session(), rig_->engine);
        QCOMPARE(session().modified, 1);
        session().modified = 0;
        Choose(sheet.page(0), 1008, 1);
        QCOMPARE(session().modified, 0);
        Choose(sheet.page(0), 1008, 3);
        QCOMPARE(session().modified, 1);
        QCOMPARE(Control<QLineEdit>(sheet.page(0), 1000)->text(), QString::fromUtf8("四"));
    }

    void sendLinesInBothModes() {
        session().panelSettings.lineText[0][0] = Sjis("あ");
        {
            CMyPropertySheet sheet(session(), rig_->engine);
            Click(sheet.page(0), 1010);
            Click(sheet.page(0), 1011);
        }
        const std::string body = "01" + std::string("2422") + Repeat("2121", 97) + "\r\n";
        QCOMPARE(sign().lines.size(), size_t(2));
        QCOMPARE(sign().lines[0], "CA" + body);
        QCOMPARE(sign().lines[1], "CN" + body);
        QCOMPARE(sign().lines[0].size(), size_t(398));

        // RS-485: the buttons use slaveNo and currentPage as they stand.
        session().lineMode = 1;
        session().slaveNo = 7;
        session().currentPage = 2;
        session().panelSettings.lineText[2][1] = Sjis("あいうえおかきくけこさしす");  // 13: one space
        CMyPropertySheet sheet(session(), rig_->engine);
        Choose(sheet.page(0), 1009, 9);
        QCOMPARE(session().slaveNo, 9);
        Click(sheet.page(0), 1010);
        QCOMPARE(sign().lines.back(), "09CA03" + kBlankLine +
                                        "2422242424262428242A242B242D242F24312433243524372439" +
                                        "2121" + Repeat(kBlankLine, 5) + "\r\n");
    }

    void unsendableLinesWarnOnceAndSendNothing() {
        session().panelSettings.lineText[0][0] = "A";  // odd length
        session().panelSettings.lineText[0][6] = Sjis("正常");
        session().panelSettings.lineText[1][3] = "AB";  // even, but not two-byte
        CMyPropertySheet sheet(session(), rig_->engine);
        Click(sheet.page(0), 1010);
        Choose(sheet.page(0), 1008, 1);
        Click(sheet.page(0), 1011);
        QCOMPARE(sign().lines.size(), size_t(0));
        QCOMPARE(boxes().texts(), std::vector<std::string>(2, kJisMessage));
        QCOMPARE(session().panelSettings.lineText[1][3], std::string("AB"));
    }

    void aLongLineFromAFileMustBeShortenedBeforeLeaving() {
        const std::string longLine = Sjis("あいうえおかきくけこさしすせそ");  // 30 bytes
        session().panelSettings.lineText[0][2] = longLine;
        CMyPropertySheet sheet(session(), rig_->engine);
        sheet.show();
        auto* line = Control<QLineEdit>(sheet.page(0), 1002);
        QCOMPARE(line->text().size(), 15);  // shown in full
        QCOMPARE(session().panelSettings.lineText[0][2], longLine);

        sheet.tabs()->setCurrentIndex(3);
        QCOMPARE(sheet.tabs()->currentIndex(), 0);
        QVERIFY(!sheet.page(3)->initialised());
        QCOMPARE(line->selectedText(), QString::fromUtf8("そ"));  // the excess
        sheet.accept();  // OK is refused too
        QVERIFY(sheet.isVisible());

        line->setCursorPosition(15);
        QTest::keyClicks(line, QStringLiteral("x"));  // would grow: refused
        QCOMPARE(session().panelSettings.lineText[0][2], longLine);
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(session().panelSettings.lineText[0][2], Sjis("あいうえおかきくけこさしすせ"));
        sheet.tabs()->setCurrentIndex(3);
        QCOMPARE(sheet.tabs()->currentIndex(), 3);
        sheet.accept();
        QVERIFY(!sheet.isVisible());
    }

    // Every page at 500 ms, the first one period after the press: the run
    // takes 16 s; a page that cannot be sent keeps its place in the beat.
    void runSendsEveryPageSkippingARefusedOne() {
        sign().AnswerAll("GO\r\n");
        for (int p = 0; p < kPageCount; ++p) session().panelSettings.lineText[p][0] = Sjis("一");
        session().panelSettings.lineText[2][5] = "x";  // page 3 cannot be sent
        CMyPropertySheet sheet(session(), rig_->engine);
        auto* counter = Control<QLineEdit>(sheet.page(0), 1024);
        Click(sheet.page(0), 1023);
        QCOMPARE(session().transferStep.load(), 1);
        rig_->clock.AdvanceTo(15999);
        QCOMPARE(session().transferStep.load(), 32);
        rig_->clock.AdvanceTo(16000);
        QCOMPARE(session().transferStep.load(), 0);
        rig_->clock.Advance(100);  // the last reply

        QCOMPARE(sign().lines.size(), size_t(31));
        for (size_t i = 0; i < sign().lines.size(); ++i) {
            const int page = int(i) < 2 ? int(i) + 1 : int(i) + 2;
            QCOMPARE(sign().lines[i].substr(0, 4),
                     QStringLiteral("CA%1").arg(page, 2, 10, QChar('0')).toStdString());
            QCOMPARE(sign().times[i], Millis(500 * page));
        }
        QCOMPARE(counter->text(), QString("32"));
        QCOMPARE(boxes().texts(), (std::vector<std::string>{kJisMessage, "Success"}));
    }

    void init() { NewRig(); }
};

KVT_QTEST(SheetTextTest)
#include "sheet_text_test.moc"
