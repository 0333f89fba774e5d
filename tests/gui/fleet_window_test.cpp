// The fleet window against a fleet run on the virtual clock: the table's
// results and summary in the window's language, each sign its own file, the
// differences of the sign selected, the selected rows alone, Stop and
// closing during a run, read with its report, a refused sheet's one box,
// the program's own port lent, and the double-click through the main window.
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_frame.h"
#include "app/ui_language.h"
#include "app_test_support.h"
#include "fleet/fleet_dlg.h"
#include "session_rig.h"
#include "settings/settings_file.h"
#include "support/fake_opener.h"
#include "support/qt_test_main.h"
#include "support/temp_dir.h"

using namespace kvt;

namespace {

// A run on a virtual clock and a fake opener, on the test's own thread.
class ClockFleetDriver : public FleetDriver {
public:
    ClockFleetDriver(Clock& clock, LineOpener& opener) : run_(clock, opener) {}
    bool Start(BusJob job, std::vector<FleetLine> lines, bool verify, const Pacing& pacing,
               size_t jobs, FleetTracker& tracker) override {
        tracker_ = &tracker;
        tracker.Follow(run_);
        return run_.Start(job, std::move(lines), verify, pacing, jobs, &tracker);
    }
    void Stop() override { run_.Abort(); }
    void Poll() override {
        if (!tracker_ || run_.running()) return;
        tracker_->Finish(run_.results());
        tracker_ = nullptr;
    }
    void Wait() override { run_.Abort(); }

private:
    FleetRun run_;
    FleetTracker* tracker_ = nullptr;
};

// Lines a, b (RS-232C) and down; a/04 is silent, down refuses.
const char* const kSheet =
    "port,slave,file,name\n"
    "a,1,one.dat,\n"
    "a,2,two.dat,\n"
    "b,,one.dat,hall\n"
    "down,3,one.dat,\n"
    "a,4,one.dat,\n";
// The rows, line by line: a/01, a/02, a/04, hall, down/03.
enum { kA1, kA2, kA4, kHall, kDown3 };

struct Fleet : CFleetDlg::Host {
    MessageBoxSeam& boxes() override { return seam; }
    std::string OwnDevice() override { return own; }
    void LendOwnPort(bool lent) override { lends.push_back(lent); }
    void OpenFile(const QString& path) override { opened << path; }

    CFleetDlg::DriverMaker Drivers() {
        return [this] { return std::make_unique<ClockFleetDriver>(clock, opener); };
    }

    VirtualClock clock;
    test::FakeOpener opener{clock};
    test::RecordingSeam seam;
    std::string own;
    std::vector<bool> lends;
    QStringList opened;
};

}  // namespace

class FleetWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<Fleet> fleet_;
    std::unique_ptr<CFleetDlg> dialog_;

    std::string Sheet(const char* rows) {
        const std::string path = *dir_ / "sheet.csv";
        test::WriteFile(path, rows);
        return path;
    }
    QString Text(int row, int column) {
        return dialog_->model().data(dialog_->model().index(row, column)).toString();
    }
    QString Summary() { return dialog_->findChild<QLabel*>("summary")->text(); }
    QPushButton* Button(const char* name) { return dialog_->findChild<QPushButton*>(name); }
    void RunOut() {
        for (int i = 0; i < 20000 && dialog_->running(); ++i) {
            fleet_->clock.Advance(100);
            dialog_->PickUp();
        }
        QVERIFY(!dialog_->running());
    }
    void Select(std::initializer_list<int> rows) {
        QTableView* table = dialog_->table();
        for (int row : rows)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

private slots:
    void initTestCase() { test::UsePrivateProfile(config_); }
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        PanelSettings settings;
        ResetPanelSettings(&settings);
        std::string message;
        settings.hPosition = 3;
        QCOMPARE(WriteSettingsFile(*dir_ / "one.dat", settings, 0, &message), SaveResult::Ok);
        settings.hPosition = 7;
        QCOMPARE(WriteSettingsFile(*dir_ / "two.dat", settings, 0, &message), SaveResult::Ok);
        fleet_ = std::make_unique<Fleet>();
        for (int slave : {1, 2}) fleet_->opener.signs["a"][slave];
        fleet_->opener.signs["b"][kNoSlave];
        fleet_->opener.refused.insert("down");
        dialog_ = std::make_unique<CFleetDlg>(*fleet_, fleet_->Drivers(), true);
        QVERIFY(dialog_->OpenSheet(QString::fromStdString(Sheet(kSheet))));
    }
    void cleanup() {
        dialog_.reset();
        fleet_.reset();
        InstallTranslations(UiLanguage::Japanese);
    }

    void deployFillsTheTableInTheWindowsLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("words");  // OK, not reached, done, the summary
        QTest::newRow("Japanese") << false
                                  << QStringList{"正常", "未到達", "完了",
                                                 "5 台: 正常 3、失敗 1、未到達 1"};
        QTest::newRow("English") << true
                                 << QStringList{"OK", "not reached", "done",
                                                "5 signs: 3 OK, 1 failed, 1 not reached"};
    }
    void deployFillsTheTableInTheWindowsLanguage() {
        QFETCH(bool, english);
        QFETCH(QStringList, words);
        QVERIFY(InstallTranslations(english ? UiLanguage::English : UiLanguage::Japanese));
        dialog_ = std::make_unique<CFleetDlg>(*fleet_, fleet_->Drivers(), true);
        QVERIFY(dialog_->OpenSheet(QString::fromStdString(*dir_ / "sheet.csv")));
        QCOMPARE(Summary(), english ? QString("5 signs") : QString("5 台"));
        QCOMPARE(Text(kA2, FleetTableModel::kFile), QString("two.dat"));
        QCOMPARE(Text(kHall, FleetTableModel::kSlave), QString());

        dialog_->OnDeploy();
        QVERIFY(!Button("deploy")->isEnabled() && Button("stop")->isEnabled());
        fleet_->clock.Advance(500);
        dialog_->PickUp();
        QVERIFY(Text(kA1, FleetTableModel::kProgress).endsWith("/103"));
        RunOut();

        for (int row : {kA1, kA2, kHall}) QCOMPARE(Text(row, FleetTableModel::kResult), words[0]);
        QCOMPARE(Text(kA4, FleetTableModel::kResult), QString("No Connect"));
        QCOMPARE(Text(kDown3, FleetTableModel::kResult),
                 words[1] + ": Cannot connect to down: Connection refused");
        QCOMPARE(Text(kA1, FleetTableModel::kProgress), words[2]);
        QVERIFY(!Text(kA1, FleetTableModel::kSeconds).isEmpty());
        QCOMPARE(Summary(), words[3]);
        QVERIFY(fleet_->seam.boxes().empty());  // no box of the replies
        // Each sign its own file.
        QCOMPARE(fleet_->opener.buses["a"]->signs[1].settings.hPosition, 3);
        QCOMPARE(fleet_->opener.buses["a"]->signs[2].settings.hPosition, 7);
        QCOMPARE(fleet_->opener.buses["b"]->signs[kNoSlave].settings.hPosition, 3);
        // Coloured by result, and sorted by it: the failures last.
        auto colour = [this](int row) {
            return dialog_->model().data(dialog_->model().index(row, 0), Qt::BackgroundRole);
        };
        QCOMPARE(colour(kA1), colour(kHall));
        QVERIFY(colour(kA1) != colour(kA4) && colour(kA4) != colour(kDown3));
        dialog_->table()->sortByColumn(FleetTableModel::kResult, Qt::DescendingOrder);
        QCOMPARE(dialog_->table()->model()->index(0, FleetTableModel::kName).data().toString(),
                 QString("down/03"));
        QVERIFY(Button("deploy")->isEnabled() && !Button("stop")->isEnabled());
    }

    // Only the selected signs run; the one that differs lists its
    // differences when selected.
    void verifyTakesTheSelectedRowsAndListsTheDifferences() {
        fleet_->opener.signs["a"][1].settings.hPosition = 3;
        fleet_->opener.signs["a"][2].settings.hPosition = 2;
        Select({kA1, kA2});
        dialog_->OnVerify();
        RunOut();
        QCOMPARE(Text(kA1, FleetTableModel::kResult), QString("正常"));
        QCOMPARE(Text(kA2, FleetTableModel::kResult), QString("相違 1 件"));
        for (int row : {kA4, kHall, kDown3}) QCOMPARE(Text(row, FleetTableModel::kResult), QString());
        QCOMPARE(Summary(), QString("2 台: 正常 1、相違 1"));
        QVERIFY(!fleet_->opener.buses.count("b"));
        dialog_->table()->setCurrentIndex(dialog_->table()->model()->index(kA2, 0));
        auto* differences = dialog_->findChild<QPlainTextEdit*>("differences");
        QCOMPARE(differences->toPlainText(), QString("H position: file 7, sign 2\n"));
        dialog_->table()->setCurrentIndex(dialog_->table()->model()->index(kA1, 0));
        QCOMPARE(differences->toPlainText(), QString());
    }

    // Stop ends every line at once: the signs in hand interrupted, the rest
    // not reached, nothing sent after. Closing during a run asks first.
    void stopEndsEveryLineAndClosingAsks() {
        dialog_ = std::make_unique<CFleetDlg>(*fleet_, fleet_->Drivers(), false);  // timed: slow
        QVERIFY(dialog_->OpenSheet(QString::fromStdString(*dir_ / "sheet.csv")));
        dialog_->OnDeploy();
        fleet_->clock.Advance(3000);
        dialog_->PickUp();
        dialog_->OnStop();
        dialog_->PickUp();
        QVERIFY(!dialog_->running());
        QCOMPARE(Text(kA1, FleetTableModel::kResult), QString("中断"));
        QCOMPARE(Text(kHall, FleetTableModel::kResult), QString("中断"));
        QCOMPARE(Text(kA2, FleetTableModel::kResult), QString("未到達"));
        QCOMPARE(Summary(), QString("5 台: 中断 2、未到達 3"));
        const int sent = fleet_->opener.buses["a"]->linesTo[1];
        fleet_->clock.Advance(60000);
        QCOMPARE(fleet_->opener.buses["a"]->linesTo[1], sent);

        dialog_->OnDeploy();
        fleet_->clock.Advance(1000);
        dialog_->reject();  // answered No
        QVERIFY(dialog_->running());
        fleet_->seam.AnswerNext(true);
        dialog_->reject();
        QVERIFY(!dialog_->running());
        QCOMPARE(dialog_->result(), int(QDialog::Rejected));
        QCOMPARE(Text(kA1, FleetTableModel::kResult), QString("中断"));
        QCOMPARE(fleet_->seam.texts(), (std::vector<std::string>(2, "フリートの実行中です。中止しますか？")));
    }

    // A read writes each sign's file into the folder chosen; the report is
    // the one the command-line tool writes. A run on the device of the
    // program's own port borrows it for the run.
    void readWritesTheFilesAndTheReport() {
        fleet_->opener.signs["b"][kNoSlave].settings.hPosition = 5;
        fleet_->own = "b";
        const std::string folder = *dir_ / "read";
        QVERIFY(QDir().mkdir(QString::fromStdString(folder)));
        dialog_->SetChooser([&](CFleetDlg::Choice choice) {
            return QString::fromStdString(choice == CFleetDlg::Choice::ReadFolder ? folder
                                                                                  : *dir_ / "r.json");
        });
        QVERIFY(!Button("saveReport")->isEnabled());
        dialog_->OnRead();
        QCOMPARE(fleet_->lends, std::vector<bool>{true});
        RunOut();
        QCOMPARE(fleet_->lends, (std::vector<bool>{true, false}));
        PanelSettings read;
        int page = 0;
        std::string message;
        QVERIFY(ReadSettingsFile(folder + "/hall.dat", &read, &page, &message));
        QCOMPARE(read.hPosition, 5);
        QVERIFY(QFile::exists(QString::fromStdString(folder + "/a_01.dat")));
        QVERIFY(!QFile::exists(QString::fromStdString(folder + "/a_04.dat")));

        dialog_->OnSaveReport();
        QFile file(QString::fromStdString(*dir_ / "r.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(report["command"].toString(), QString("fleet read"));
        QCOMPARE(report["ok"].toBool(), false);
        const QJsonArray signs = report["signs"].toArray();
        QCOMPARE(signs.size(), 5);
        QCOMPARE(signs[kHall].toObject()["name"].toString(), QString("hall"));
        QCOMPARE(signs[kA4].toObject()["error"].toString(), QString("No Connect"));
        QCOMPARE(signs[kDown3].toObject()["result"].toString(), QString("not reached"));
    }

    // One box names every problem with its row and column; nothing runs.
    void aRefusedSheetShowsOneBox() {
        QVERIFY(!dialog_->OpenSheet(QString::fromStdString(Sheet(
            "port,slave,file\n"
            "a,40,one.dat\n"
            "a,1,missing.dat\n"))));
        const std::vector<std::string> boxes = fleet_->seam.texts();
        QCOMPARE(boxes.size(), size_t(1));
        const QStringList lines = QString::fromStdString(boxes[0]).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].endsWith("sheet.csv は使えません:"), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("row 2, column B (slave): "), qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith("row 3, column C (file): "), qPrintable(lines[2]));
        QCOMPARE(dialog_->model().size(), size_t(0));
        QVERIFY(!Button("deploy")->isEnabled());
        dialog_->OnDeploy();
        QVERIFY(!dialog_->running());
    }

    // Through the main window: a double-click opens
    // the sign's file as File > Open does, asking about unsaved changes,
    // and does nothing during a run.
    void doubleClickOpensTheSignsFile() {
        dialog_.reset();
        test::SessionRig rig;
        CMainFrame frame(rig.line);
        frame.SetFleetDrivers(fleet_->Drivers());
        rig.session.modified = 1;
        rig.boxes.AnswerNext(true);
        auto doubleClick = [](QTableView* table, int row) {
            const QRect cell = table->visualRect(table->model()->index(row, 0));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        };
        bool acted = false;
        test::WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CFleetDlg*>(modal);
            QVERIFY(dialog);
            acted = true;
            QTRY_COMPARE(dialog->model().size(), size_t(5));
            doubleClick(dialog->table(), kA2);
            QCOMPARE(rig.session.fileName, *dir_ / "two.dat");
            QCOMPARE(rig.session.panelSettings.hPosition, 7);
            dialog->OnDeploy();
            doubleClick(dialog->table(), kA1);
            QCOMPARE(rig.session.fileName, *dir_ / "two.dat");
            dialog->OnStop();
            dialog->PickUp();
            dialog->accept();
        });
        frame.OnFleet(QString::fromStdString(*dir_ / "sheet.csv"));
        QVERIFY(acted);
        QCOMPARE(rig.boxes.texts(), std::vector<std::string>{"データを保存せずに別のファイルを開きますか？"});
        QCOMPARE(frame.fleet()->model().size(), size_t(5));  // kept for the next opening
    }
};

KVT_QTEST(FleetWindowTest)
#include "fleet_window_test.moc"
