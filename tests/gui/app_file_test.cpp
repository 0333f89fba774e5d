// The File menu's commands with their questions, dialogs and failures.
#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/kvt540m_doc.h"
#include "app_test_support.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "settings/settings_file.h"
#include "support/recording_seam.h"

using namespace kvt;

class AppFileTest : public QObject {
    Q_OBJECT

    QString Path(const QString& name) { return dir_.path() + "/" + name; }
    void Choose(const QString& path) { chosen_ << path; }
    void ExpectOneWarning(const std::string& text) {
        auto boxes = seam_.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, text);
        QCOMPARE(boxes[0].caption, std::string("Error"));
        QCOMPARE(int(boxes[0].icon), int(BoxIcon::Exclamation));
        seam_.clear();
    }

    QTemporaryDir dir_;
    test::RecordingSeam seam_;
    CKVT540MDoc doc_;
    QStringList chosen_;
    QList<bool> dialogKinds_;  // save (true) or open, per dialog run

private slots:
    void initTestCase() {
        CKVT540MDoc::SetFileChooser([this](bool save) {
            dialogKinds_ << save;
            return chosen_.isEmpty() ? QString() : chosen_.takeFirst();
        });
    }
    void init() {
        ResetSettings();
        ResetReplyState();
        seam_.clear();
        chosen_.clear();
        dialogKinds_.clear();
    }

    void saveAsThenOpenRoundTrip() {
        panelSettings.lineText[3][2] = "\x82\xa0\x81\x40\x82\xa2";  // あ　い
        panelSettings.charColor[31][6] = 5;
        modified = 1;
        Choose(Path("round.dat"));
        doc_.FileSaveAs();
        QCOMPARE(dialogKinds_, QList<bool>{true});
        QCOMPARE(QString::fromStdString(fileName), Path("round.dat"));
        QCOMPARE(modified, 0);
        QVERIFY(seam_.boxes().empty());
        QFile file(Path("round.dat"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), qsizetype(996));

        ResetSettings();
        Choose(Path("round.dat"));
        doc_.FileOpen();
        QCOMPARE(panelSettings.lineText[3][2], std::string("\x82\xa0\x81\x40\x82\xa2"));
        QCOMPARE(panelSettings.charColor[31][6], 5);
        QCOMPARE(modified, 0);
    }

    void questionsBeforeDiscardingChanges() {
        panelSettings.whiteLevel[0] = 0;
        modified = 1;
        doc_.FileNew();  // answered No
        QCOMPARE(panelSettings.whiteLevel[0], 0);
        QCOMPARE(seam_.texts(), std::vector<std::string>{"データを保存せずに新規作成しますか？"});
        QCOMPARE(seam_.boxes()[0].caption, std::string("KVT-540M"));
        QCOMPARE(int(seam_.boxes()[0].buttons), int(BoxButtons::YesNo));
        seam_.clear();

        doc_.FileOpen();  // answered No: not even the dialog
        QCOMPARE(seam_.texts(), std::vector<std::string>{"データを保存せずに別のファイルを開きますか？"});
        QVERIFY(dialogKinds_.isEmpty());
        seam_.clear();

        seam_.AnswerNext(true);
        fileName = "/somewhere/old.dat";
        doc_.FileNew();
        QCOMPARE(panelSettings.whiteLevel[0], 1);
        QCOMPARE(modified, 0);
        QVERIFY(fileName.empty());

        doc_.FileNew();  // nothing modified: no question
        QCOMPARE(seam_.boxes().size(), size_t(1));
    }

    void openingAMissingFileKeepsTheStoreButTakesTheName() {
        panelSettings.displayTime[2] = 9;
        Choose(Path("missing.dat"));
        doc_.FileOpen();
        ExpectOneWarning("Can't file open");
        QCOMPARE(panelSettings.displayTime[2], 9);
        QCOMPARE(QString::fromStdString(fileName), Path("missing.dat"));
        doc_.FileSave();  // creates it
        QVERIFY(seam_.boxes().empty());
        QVERIFY(QFile::exists(Path("missing.dat")));
    }

    // A file far beyond any settings file (over 1 MiB, a device) is refused
    // with the open warning; the store stays as it was.
    void openingAnOversizedFileKeepsTheStore() {
        QFile big(Path("big.dat"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1048577, '1'));
        big.close();
        panelSettings.displayTime[2] = 9;
        for (const QString& path : {Path("big.dat"), QString("/dev/zero")}) {
            Choose(path);
            doc_.FileOpen();
            ExpectOneWarning("Can't file open: " + path.toStdString() +
                             " is larger than 1 MiB (1048576 bytes)");
            QCOMPARE(panelSettings.displayTime[2], 9);
            QCOMPARE(panelSettings.charColor[0][0], 7);
            QCOMPARE(modified, 0);
        }
    }

    void cancelledDialogsChangeNothing() {
        fileName = "/kept.dat";
        modified = 1;
        doc_.FileSaveAs();
        seam_.AnswerNext(true);
        doc_.FileOpen();
        QCOMPARE(dialogKinds_, (QList<bool>{true, false}));
        QCOMPARE(fileName, std::string("/kept.dat"));
        QCOMPARE(modified, 1);
    }

    void failedSavesKeepTheChangesMarked() {
        doc_.FileSave();  // no file name yet
        ExpectOneWarning("Can't file open");

        modified = 1;
        Choose(Path("no-such-folder/x.dat"));
        doc_.FileSaveAs();
        ExpectOneWarning("Can't file open");
        QCOMPARE(modified, 1);
        QCOMPARE(QString::fromStdString(fileName), Path("no-such-folder/x.dat"));

        // A text that would not read back is refused before anything is written.
        panelSettings.lineText[0][0] = "A B";
        Choose(Path("refused.dat"));
        doc_.FileSaveAs();
        QCOMPARE(seam_.boxes().size(), size_t(1));
        QVERIFY(QString::fromStdString(seam_.boxes()[0].text).startsWith("Can't save"));
        QCOMPARE(int(seam_.boxes()[0].icon), int(BoxIcon::Exclamation));
        QVERIFY(!QFile::exists(Path("refused.dat")));
        QCOMPARE(modified, 1);
    }

    // A write that fails half-way (file size limit) leaves the old file whole.
    void writeFailureLeavesTheOldFile() {
        fileName = Path("limited.dat").toStdString();
        doc_.FileSave();
        QFile old(Path("limited.dat"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QByteArray before = old.readAll();
        old.close();

        panelSettings.hPosition = 3;
        modified = 1;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &small);
        doc_.FileSave();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        ExpectOneWarning("Can't file write");
        QCOMPARE(modified, 1);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
    }

    void qtFileDialogs() {
        QStringList filters;
        QString folder, suffix;
        int mode = -1;
        bool confirms = false;
        test::WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            filters = d->nameFilters();
            folder = d->directory().absolutePath();
            mode = d->acceptMode();
            d->reject();
        });
        QVERIFY(CKVT540MDoc::RunFileDialog(false).isEmpty());
        QCOMPARE(filters, QStringList{"ﾃﾞｰﾀ(*.dat)"});
        QCOMPARE(folder, QDir::homePath());
        QCOMPARE(mode, int(QFileDialog::AcceptOpen));

        test::WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
            suffix = d->defaultSuffix();
            mode = d->acceptMode();
            d->setDirectory(dir_.path());
            auto* name = d->findChild<QLineEdit*>("fileNameEdit");
            if (name) {
                name->setText(Path("chosen"));
                QTest::keyClick(name, Qt::Key_Return);
            }
            if (d->isVisible()) d->reject();
        });
        QString chosen = CKVT540MDoc::RunFileDialog(true);
        QCOMPARE(mode, int(QFileDialog::AcceptSave));
        QCOMPARE(suffix, QString("dat"));
        QVERIFY(confirms);
        QCOMPARE(chosen, Path("chosen.dat"));
    }

    void nothingHappensDuringARun() {
        transferStep = 12;
        modified = 1;
        panelSettings.vPosition = 1;
        fileName = Path("busy.dat").toStdString();
        Choose(Path("busy2.dat"));
        doc_.FileNew();
        doc_.FileOpen();
        doc_.FileSave();
        doc_.FileSaveAs();
        QVERIFY(seam_.boxes().empty());
        QVERIFY(dialogKinds_.isEmpty());
        QCOMPARE(panelSettings.vPosition, 1);
        QVERIFY(!QFile::exists(Path("busy.dat")));
        QCOMPARE(modified, 1);
    }
};

QTEST_MAIN(AppFileTest)
#include "app_file_test.moc"
