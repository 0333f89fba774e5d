// The fleet window's own run on the wall clock: its I/O thread's event loop
// against a simulated sign serving two lines over TCP, the window's timer
// taking the changes (also under ThreadSanitizer); Stop reaching the thread.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app_test_support.h"
#include "fleet/fleet_dlg.h"
#include "fleet/loop_fleet_driver.h"
#include "settings/settings_file.h"
#include "support/qt_test_main.h"
#include "support/recording_seam.h"
#include "support/test_paths.h"

extern char** environ;

using namespace kvt;

namespace {

struct Host : CFleetDlg::Host {
    MessageBoxSeam& boxes() override { return seam; }
    std::string OwnDevice() override { return ""; }
    void LendOwnPort(bool) override {}
    void OpenFile(const QString&) override {}
    test::RecordingSeam seam;
};

}  // namespace

class FleetLoopTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    pid_t sim_ = -1;
    Host host_;

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    static QStringList ReadLines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // The sheet: two signs on each line, each sign the same file.
    QString Sheet(const QStringList& lines) const {
        QFile file(Path("sheet.csv"));
        if (!file.open(QIODevice::WriteOnly)) return QString();
        file.write("port,slave,file\n");
        for (const QString& line : lines)
            for (int slave : {1, 2}) file.write(QStringLiteral("%1,%2,a.dat\n").arg(line).arg(slave).toUtf8());
        return file.fileName();
    }

private slots:
    void initTestCase() {
        test::UsePrivateProfile(dir_);
        PanelSettings settings;
        ResetPanelSettings(&settings);
        std::string message;
        QCOMPARE(WriteSettingsFile(Path("a.dat").toStdString(), settings, 0, &message), SaveResult::Ok);
        // Spawned, not forked: ThreadSanitizer stops watching a program that
        // forks while it runs threads. It dies with the test (setpriv).
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, QFile::encodeName(Path("sim.out")).constData(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {"setpriv", "--pdeathsig", "KILL", "--", KVT_SIM_PATH, "--lines", "2",
                              "--tcp", "127.0.0.1:0", "--rs485", "--slave", "1-2", nullptr};
        QCOMPARE(posix_spawnp(&sim_, argv[0], &files, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&files);
    }
    void cleanupTestCase() {
        if (sim_ <= 0) return;
        ::kill(sim_, SIGTERM);
        ::waitpid(sim_, nullptr, 0);
    }

    void deploysOnItsOwnThreadAndStops() {
        QStringList lines;  // the address of each line, once it listens
        QTRY_COMPARE_WITH_TIMEOUT((lines = ReadLines(Path("sim.out"))).size(), 2, 10000);
        CFleetDlg dialog(host_, [] { return std::make_unique<LoopFleetDriver>(); }, true);
        QVERIFY(dialog.OpenSheet(Sheet(lines)));
        auto* summary = dialog.findChild<QLabel*>("summary");

        dialog.OnDeploy();
        QVERIFY(dialog.running());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.running(), 60000);
        QCOMPARE(summary->text(), QString("4 台: 正常 4"));

        dialog.OnVerify();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.model().row(0).state.step > 3, 20000);
        dialog.OnStop();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.running(), 2000);
        QCOMPARE(summary->text(), QString("4 台: 中断 2、未到達 2"));
        QVERIFY(host_.seam.boxes().empty());
    }
};

KVT_QTEST(FleetLoopTest)
#include "fleet_loop_test.moc"
