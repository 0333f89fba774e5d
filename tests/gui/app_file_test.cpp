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
#include "session_rig.h"
#include "settings/settings_file.h"
#include "support/qt_test_main.h"

using namespace kvt;

class AppFileTest : public QObject {
    Q_OBJECT

    QString Path(const QString& name) { return dir_.path() + "/" + name; }
    void Choose(const QString& path) { chosen_ << path; }
    void ExpectOneWarning(const std::string& text) {
        auto boxes = boxes_.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, text);
        QCOMPARE(boxes[0].caption, std::string("Error"));
        QCOMPARE(int(boxes[0].icon), int(BoxIcon::Exclamation));
        boxes_.clear();
    }

    QTemporaryDir dir_;
    test::RecordingSeam boxes_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<CKVT540MDoc> doc_;
    Session& session() { return *session_; }
    QStringList chosen_;
    QList<bool> dialogKinds_;  // save (true) or open, per dialog run

private slots:
    void init() {
        session_ = std::make_unique<Session>(&boxes_);
        doc_ = std::make_unique<CKVT540MDoc>(*session_);
        doc_->SetFileChooser([this](bool save) {
            dialogKinds_ << save;
            return chosen_.isEmpty() ? QString() : chosen_.takeFirst();
        });
        boxes_.clear();
        chosen_.clear();
        dialogKinds_.clear();
    }

    void saveAsThenOpenRoundTrip() {
        session().panelSettings.lineText[3][2] = "\x82\xa0\x81\x40\x82\xa2";  // あ　い
        session().panelSettings.charColor[31][6] = 5;
        session().modified = 1;
        Choose(Path("round.dat"));
        doc_->FileSaveAs();
        QCOMPARE(dialogKinds_, QList<bool>{true});
        QCOMPARE(QString::fromStdString(session().fileName), Path("round.dat"));
        QCOMPARE(session().modified, 0);
        QVERIFY(boxes_.boxes().empty());
        QFile file(Path("round.dat"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), qsizetype(996));

        session().ResetSettings();
        Choose(Path("round.dat"));
        doc_->FileOpen();
        QCOMPARE(session().panelSettings.lineText[3][2], std::string("\x82\xa0\x81\x40\x82\xa2"));
        QCOMPARE(session().panelSettings.charColor[31][6], 5);
        QCOMPARE(session().modified, 0);
    }

    void questionsBeforeDiscardingChanges() {
        session().panelSettings.whiteLevel[0] = 0;
        session().modified = 1;
        doc_->FileNew();  // answered No
        QCOMPARE(session().panelSettings.whiteLevel[0], 0);
        QCOMPARE(boxes_.texts(), std::vector<std::string>{"データを保存せずに新規作成しますか？"});
        QCOMPARE(boxes_.boxes()[0].caption, std::string("KVT-540M"));
        QCOMPARE(int(boxes_.boxes()[0].buttons), int(BoxButtons::YesNo));
        boxes_.clear();

        doc_->FileOpen();  // answered No: not even the dialog
        QCOMPARE(boxes_.texts(), std::vector<std::string>{"データを保存せずに別のファイルを開きますか？"});
        QVERIFY(dialogKinds_.isEmpty());
        boxes_.clear();

        boxes_.AnswerNext(true);
        session().fileName = "/somewhere/old.dat";
        doc_->FileNew();
        QCOMPARE(session().panelSettings.whiteLevel[0], 1);
        QCOMPARE(session().modified, 0);
        QVERIFY(session().fileName.empty());

        doc_->FileNew();  // nothing modified: no question
        QCOMPARE(boxes_.boxes().size(), size_t(1));
    }

    void openingAMissingFileKeepsTheStoreButTakesTheName() {
        session().panelSettings.displayTime[2] = 9;
        Choose(Path("missing.dat"));
        doc_->FileOpen();
        ExpectOneWarning("Can't file open");
        QCOMPARE(session().panelSettings.displayTime[2], 9);
        QCOMPARE(QString::fromStdString(session().fileName), Path("missing.dat"));
        doc_->FileSave();  // creates it
        QVERIFY(boxes_.boxes().empty());
        QVERIFY(QFile::exists(Path("missing.dat")));
    }

    // A file far beyond any settings file (over 1 MiB, a device) is refused
    // with the open warning; the store stays as it was.
    void openingAnOversizedFileKeepsTheStore() {
        QFile big(Path("big.dat"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1048577, '1'));
        big.close();
        session().panelSettings.displayTime[2] = 9;
        for (const QString& path : {Path("big.dat"), QString("/dev/zero")}) {
            Choose(path);
            doc_->FileOpen();
            ExpectOneWarning("Can't file open: " + path.toStdString() +
                             " is larger than 1 MiB (1048576 bytes)");
            QCOMPARE(session().panelSettings.displayTime[2], 9);
            QCOMPARE(session().panelSettings.charColor[0][0], 7);
            QCOMPARE(session().modified, 0);
        }
    }

    void cancelledDialogsChangeNothing() {
        session().fileName = "/kept.dat";
        session().modified = 1;
        doc_->FileSaveAs();
        boxes_.AnswerNext(true);
        doc_->FileOpen();
        QCOMPARE(dialogKinds_, (QList<bool>{true, false}));
        QCOMPARE(session().fileName, std::string("/kept.dat"));
        QCOMPARE(session().modified, 1);
    }

    void failedSavesKeepTheChangesMarked() {
        doc_->FileSave();  // no file name yet
        ExpectOneWarning("Can't file open");

        session().modified = 1;
        Choose(Path("no-such-folder/x.dat"));
        doc_->FileSaveAs();
        ExpectOneWarning("Can't file open");
        QCOMPARE(session().modified, 1);
        QCOMPARE(QString::fromStdString(session().fileName), Path("no-such-folder/x.dat"));

        // A text that would not read back is refused before anything is written.
        session().panelSettings.lineText[0][0] = "A B";
        Choose(Path("refused.dat"));
        doc_->FileSaveAs();
        QCOMPARE(boxes_.boxes().size(), size_t(1));
        QVERIFY(QString::fromStdString(boxes_.boxes()[0].text).startsWith("Can't save"));
        QCOMPARE(int(boxes_.boxes()[0].icon), int(BoxIcon::Exclamation));
        QVERIFY(!QFile::exists(Path("refused.dat")));
        QCOMPARE(session().modified, 1);
    }

    // A write that fails half-way (file size limit) leaves the old file whole.
    void writeFailureLeavesTheOldFile() {
        session().fileName = Path("limited.dat").toStdString();
        doc_->FileSave();
        QFile old(Path("limited.dat"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QByteArray before = old.readAll();
        old.close();

        session().panelSettings.hPosition = 3;
        session().modified = 1;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &small);
        doc_->FileSave();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        ExpectOneWarning("Can't file write");
        QCOMPARE(session().modified, 1);
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
        session().transferStep = 12;
        session().modified = 1;
        session().panelSettings.vPosition = 1;
        session().fileName = Path("busy.dat").toStdString();
        Choose(Path("busy2.dat"));
        doc_->FileNew();
        doc_->FileOpen();
        doc_->FileSave();
        doc_->FileSaveAs();
        QVERIFY(boxes_.boxes().empty());
        QVERIFY(dialogKinds_.isEmpty());
        QCOMPARE(session().panelSettings.vPosition, 1);
        QVERIFY(!QFile::exists(Path("busy.dat")));
        QCOMPARE(session().modified, 1);
    }
};

KVT_QTEST(AppFileTest)
#include "app_file_test.moc"
