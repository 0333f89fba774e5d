// The fleet window's own run on the wall clock: its I/O thread's event loop
// against a simulated sign serving two lines over TCP, the window's timer
// taking the changes (also under ThreadSanitizer); Stop reaching the thread.
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app_test_support.h"
#include "fleet/fleet_dlg.h"
#include "fleet/loop_fleet_driver.h"
#include "settings/settings_file.h"
#include "support/qt_test_main.h"
#include "support/recording_seam.h"

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
    test::ChildProcess sim_;
    Host host_;

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
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
        QProcess& sim = sim_.process();
        sim.start(QString(KVT_SIM_PATH), {"--lines", "2", "--tcp", "127.0.0.1:0", "--rs485", "--slave", "1-2"});
        QVERIFY(sim.waitForStarted(5000));
    }

    void deploysOnItsOwnThreadAndStops() {
        QStringList lines;
        for (int i = 0; i < 50 && lines.size() < 2; ++i)
            if (sim_.process().waitForReadyRead(100) || sim_.process().canReadLine())
                while (sim_.process().canReadLine()) lines << QString(sim_.process().readLine()).trimmed();
        QCOMPARE(lines.size(), 2);
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
