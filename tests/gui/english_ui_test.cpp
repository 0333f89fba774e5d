// The windows in English: no Japanese left in any window, menu or box; every
// text fits its control; and every window keeps the size it has in Japanese.
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionTab>
#include <QTabWidget>

#include "app/about_dlg.h"
#include "app/instance_lock.h"
#include "app/kvt540m_app.h"
#include "app/kvt540m_doc.h"
#include "app/main_frame.h"
#include "app/qt_message_seam.h"
#include "app/ui_language.h"
#include "app_test_support.h"
#include "dialogs/all_items_dlg.h"
#include "dialogs/comm_setting_dlg.h"
#include "dialogs/device_setting_dlg.h"
#include "dialogs/multi_sign_dlg.h"
#include "dialogs/read_setting_dlg.h"
#include "editor/my_property_sheet.h"
#include "editor/stacked_tab_bar.h"
#include "fleet/fleet_dlg.h"
#include "preview/page_preview_window.h"
#include "profile/profile.h"
#include "sheet_support.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

namespace {

// Kana, the CJK symbols and ideographs, and the full- and half-width forms.
bool IsJapanese(QChar c) {
    const ushort u = c.unicode();
    return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) ||
           (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

QString Name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

bool HasJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), IsJapanese);
}

// What a window shows as text of its own. Line edits hold the settings'
// texts and numbers: data, not the program's words.
QStringList Texts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w)) texts << group->title();
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
            for (int i = 0; i < view->model()->columnCount(); ++i)
                texts << view->model()->headerData(i, Qt::Horizontal).toString();
        for (QAction* action : w->actions()) texts << action->text() << action->statusTip();
    }
    return texts;
}

int TextWidth(const QWidget* w, QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return w->fontMetrics().horizontalAdvance(text);
}

// The room the style gives a button's or check box's text.
int ButtonRoom(QAbstractButton* button, QStyle::SubElement element) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(element, &option, button).width();
}

// Each text that would be cut, with its control and the pixels it needs and has.
QStringList CutTexts(QWidget* window) {
    QStringList cut;
    auto check = [&cut](const QWidget* w, const QString& text, int room) {
        const int need = TextWidth(w, text);
        if (!text.isEmpty() && need > room)
            cut << QStringLiteral("%1 \"%2\": %3 > %4").arg(Name(w), text).arg(need).arg(room);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
            check(label, label->text(), label->contentsRect().width() - 2 * label->margin());
        if (auto* box = qobject_cast<QCheckBox*>(w))
            check(box, box->text(), ButtonRoom(box, QStyle::SE_CheckBoxContents));
        if (auto* button = qobject_cast<QPushButton*>(w))
            check(button, button->text(), ButtonRoom(button, QStyle::SE_PushButtonContents));
        // The title sits 6 pixels in, with 2 pixels either side.
        if (auto* group = qobject_cast<QGroupBox*>(w)) check(group, group->title(), group->width() - 10);
        if (auto* bar = qobject_cast<StackedTabBar*>(w)) {
            auto* tabs = window->findChild<QTabWidget*>();
            for (int i = 0; i < tabs->count(); ++i) {
                QStyleOptionTab option;
                option.initFrom(bar);
                option.rect = bar->TabRect(i);
                option.text = tabs->tabText(i);
                const QRect room = bar->style()->subElementRect(QStyle::SE_TabBarTabText, &option, bar);
                check(bar, option.text, room.width());
            }
        }
    }
    return cut;
}

}  // namespace

class EnglishUiTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    std::unique_ptr<SessionRig> rig_;

    // The fleet window's view of the program, its boxes recorded.
    struct FleetHost : CFleetDlg::Host {
        explicit FleetHost(MessageBoxSeam& seam) : seam(seam) {}
        MessageBoxSeam& boxes() override { return seam; }
        std::string OwnDevice() override { return ""; }
        void LendOwnPort(bool) override {}
        void OpenFile(const QString&) override {}
        MessageBoxSeam& seam;
    };
    std::unique_ptr<FleetHost> fleetHost_;

    // Every window of the program, built anew in the language installed now
    // and shown; the sheet has shown each of its pages.
    std::vector<std::unique_ptr<QWidget>> Windows() {
        Session& session = rig_->session;
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.push_back(std::make_unique<CMainFrame>(rig_->line));
        auto sheet = std::make_unique<CMyPropertySheet>(session, rig_->engine);
        for (int i = 0; i < kSheetPageCount; ++i) ShowTab(*sheet, i);
        windows.push_back(std::move(sheet));
        windows.push_back(std::make_unique<CCommSettingDlg>(session, nullptr));
        windows.push_back(std::make_unique<CAllItemsDlg>(rig_->engine, Pacing{}, nullptr));
        windows.push_back(std::make_unique<CReadSettingDlg>(rig_->engine, Pacing{}, nullptr));
        // One device of each kind the dialog describes: listed, on the network, unknown.
        SerialPortInfo listed;
        listed.path = "/dev/ttyUSB0";
        listed.device = "/dev/ttyUSB0";
        windows.push_back(std::make_unique<CDeviceSettingDlg>(
            std::vector<std::string>{"/dev/ttyUSB0", "tcp://192.0.2.1:4001", "/dev/elsewhere"},
            [listed] { return std::vector<SerialPortInfo>{listed}; }, nullptr));
        windows.push_back(std::make_unique<CMultiSignDlg>(rig_->line, false, nullptr));
        windows.push_back(std::make_unique<CFleetDlg>(*fleetHost_, nullptr, false, nullptr));
        windows.push_back(std::make_unique<CAboutDlg>(nullptr));
        // Playing a sequence of empty pages: the status says there is none.
        session.panelSettings.sequenceMode = 1;
        auto preview = std::make_unique<PagePreviewWindow>(session.panelSettings, session.currentPage);
        preview->Open();
        preview->SetPlaying(true);
        windows.push_back(std::move(preview));
        for (auto& w : windows) w->show();
        return windows;
    }

    // The boxes the program and its core ask the seam for, as the seam shows them.
    QStringList BoxTexts() {
        RecordingSeam& boxes = rig_->boxes;
        boxes.clear();
        Session& session = rig_->session;
        CMainFrame frame(rig_->line);
        frame.doc().SetFileChooser([](bool) { return QString(); });
        session.modified = 1;
        frame.doc().FileNew();
        frame.doc().OpenFile(QStringLiteral("/nonexistent.dat"));
        frame.ExitProcedure();
        frame.SetEnglish(true);
        frame.SetEnglish(false);
        session.Report(Outcome::Of(OutcomeKind::Success));
        session.panelSettings.lineText[0][0] = "A";  // not a two-byte character
        session.Dispatch(BuildTextCommand(session.panelSettings, 'A', 0));
        CFleetDlg(*fleetHost_, nullptr, false, nullptr).OpenSheet(QStringLiteral("/nonexistent.csv"));
        {
            InstanceLock running;
            running.Acquire();
            CKVT540MApp copy;
            copy.session().SetSeam(&boxes);
            copy.InitInstance();
        }
        QStringList texts;
        for (const BoxRequest& box : boxes.boxes()) texts << BoxText(box.text) << BoxText(box.caption);
        if (boxes.boxes().size() != 9) texts << QStringLiteral("%1 boxes").arg(boxes.boxes().size());
        return texts;
    }

private slots:
    void initTestCase() {
        UsePrivateProfile(config_);
        qputenv("XDG_RUNTIME_DIR", config_.path().toLocal8Bit());
    }
    void init() {
        rig_ = std::make_unique<SessionRig>();
        fleetHost_ = std::make_unique<FleetHost>(rig_->boxes);
    }
    void cleanup() { InstallTranslations(UiLanguage::Japanese); }

    void everyTextIsEnglishAndFits() {
        QVERIFY(InstallTranslations(UiLanguage::English));
        for (auto& window : Windows()) {
            QStringList japanese;
            for (const QString& text : Texts(window.get()))
                if (HasJapanese(text)) japanese << text;
            QVERIFY2(japanese.isEmpty(), qPrintable(Name(window.get()) + ": " + japanese.join(" | ")));
            const QStringList cut = CutTexts(window.get());
            QVERIFY2(cut.isEmpty(), qPrintable(Name(window.get()) + ": " + cut.join(" | ")));
        }
        QStringList japanese;
        for (const QString& text : BoxTexts())
            if (HasJapanese(text) || text.endsWith(" boxes")) japanese << text;
        QVERIFY2(japanese.isEmpty(), qPrintable(japanese.join(" | ")));
    }

    // Each colour is named for its colour, in the lists of the character
    // and of the border colours alike.
    void coloursAreNamedForTheirColours() {
        QVERIFY(InstallTranslations(UiLanguage::English));
        CMyPropertySheet sheet(rig_->session, rig_->engine);
        for (int id : {1014, 1015}) {
            auto* combo = Control<QComboBox>(ShowTab(sheet, 3), id);
            QStringList names;
            for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
            QCOMPARE(names, QStringList({"Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan",
                                         "White", "Blank"}));
        }
    }

    // Qt's own file dialog follows: English in English, Japanese in Japanese.
    void fileDialogFollowsTheLanguage() {
        for (UiLanguage language : {UiLanguage::English, UiLanguage::Japanese}) {
            QVERIFY(InstallTranslations(language));
            QStringList texts;
            WhenModal([&texts](QWidget* dialog) {
                texts = Texts(dialog);
                dialog->close();
            });
            CKVT540MDoc::RunFileDialog(false);
            const bool english = language == UiLanguage::English;
            QVERIFY(texts.contains(english ? "Data (*.dat)" : "ﾃﾞｰﾀ(*.dat)"));
            QCOMPARE(texts.contains(english ? "File &name:" : "ファイル名(&N):"), true);
            if (english) {
                for (const QString& text : texts) QVERIFY2(!HasJapanese(text), qPrintable(text));
            }
        }
    }

    void windowsKeepTheirSizes() {
        QVERIFY(InstallTranslations(UiLanguage::Japanese));
        std::vector<QSize> japanese;
        for (auto& window : Windows()) japanese.push_back(window->size());
        QVERIFY(InstallTranslations(UiLanguage::English));
        auto english = Windows();
        for (size_t i = 0; i < english.size(); ++i)
            QVERIFY2(english[i]->size() == japanese[i],
                     qPrintable(QStringLiteral("%1: %2x%3 in English, %4x%5 in Japanese")
                                    .arg(Name(english[i].get()))
                                    .arg(english[i]->width()).arg(english[i]->height())
                                    .arg(japanese[i].width()).arg(japanese[i].height())));
    }

    void languageOfTheStart_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("desktop");
        QTest::addColumn<bool>("english");
        QTest::newRow("desktop English") << "" << QStringList{"en-US", "en"} << true;
        QTest::newRow("desktop en only") << "" << QStringList{"en"} << true;
        QTest::newRow("English second") << "" << QStringList{"ja-JP", "en-US"} << false;
        QTest::newRow("desktop Japanese") << "" << QStringList{"ja-JP"} << false;
        QTest::newRow("no locale") << "" << QStringList{"C"} << false;
        QTest::newRow("nothing known") << "" << QStringList{} << false;
        QTest::newRow("not English") << "" << QStringList{"eo"} << false;
        QTest::newRow("profile en") << "en" << QStringList{"ja-JP"} << true;
        QTest::newRow("profile ja") << "ja" << QStringList{"en-US"} << false;
        QTest::newRow("profile unknown") << "fr" << QStringList{"en-GB"} << true;
    }
    void languageOfTheStart() {
        QFETCH(QString, profile);
        QFETCH(QStringList, desktop);
        QFETCH(bool, english);
        QCOMPARE(ChooseUiLanguage(profile.toStdString(), desktop) == UiLanguage::English, english);
    }

    // The menu entry keeps the choice in the profile for the next start;
    // this start stays in its language.
    void englishEntryKeepsTheChoice() {
        CMainFrame frame(rig_->line);
        QMenu* info = frame.findChild<QMenu*>("menuInformation");
        QAction* english = info->actions().constLast();
        QCOMPARE(english->objectName(), QString("32783"));
        QVERIFY(english->isCheckable() && !english->isChecked());
        english->trigger();
        QCOMPARE(ReadProfileLanguage(), std::string("en"));
        QCOMPARE(StartLanguage(), UiLanguage::English);
        QCOMPARE(CurrentUiLanguage(), UiLanguage::Japanese);
        english->trigger();
        QCOMPARE(ReadProfileLanguage(), std::string("ja"));
        QCOMPARE(rig_->boxes.texts(), (std::vector<std::string>{"次回の起動から英語で表示します。",
                                                                "次回の起動から日本語で表示します。"}));
    }
};

KVT_QTEST(EnglishUiTest)
#include "english_ui_test.moc"
