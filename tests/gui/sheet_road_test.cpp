// The whole road of one setting: the main window's "KVTの設定" opens the
// sheet, page 5 line 2 goes red on the colour page, "設定" sends it over the
// serial link to the simulated sign, and its "GO" comes back as "Success".
#include <QAction>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app/main_frame.h"
#include "app/reply_pump.h"
#include "app_test_support.h"
#include "serial/serial_link.h"
#include "sheet_support.h"

using namespace kvt;
using namespace kvt::test;

class SheetRoadTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetAll(); }

    void colourOfOneLineReachesTheSign_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("signOptions");
        QTest::addColumn<QString>("wire");
        QTest::newRow("RS-232C") << 0 << QStringList() << "P05ICLT70107070707070";
        QTest::newRow("RS-485") << 1 << QStringList{"--rs485", "--slave", "5"}
                                << "05P05ICLT70107070707070";
    }

    void colourOfOneLineReachesTheSign() {
        QFETCH(int, mode);
        QFETCH(QStringList, signOptions);
        QFETCH(QString, wire);
        if (QStringLiteral(KVT_SIM_PATH).isEmpty()) QSKIP("no simulated sign in this build");
        QTemporaryDir dir;
        SimulatedSign sign(dir.path(), signOptions);
        QVERIFY(sign.running());

        RecordingSeam seam;
        lineMode = mode;
        slaveNo = 5;
        ReplyPump pump;
        SerialLink link([&pump](const std::string& line) { pump.Post(line); });
        InstallCommandPort(&link);
        link.OpenPort(sign.link().toStdString());
        link.StartReadThread();
        CMainFrame frame(&link, &pump);
        frame.show();

        bool sent = false;
        WhenModal([&](QWidget* modal) {
            auto* sheet = qobject_cast<CMyPropertySheet*>(modal);
            if (sheet) {
                QWidget* colour = ShowTab(*sheet, 3);
                Choose(colour, 1008, 4);
                Choose(colour, 1016, 1);
                Click(colour, 1010);
                sent = true;
                // A sign that does not answer fails the checks below; the
                // sheet closes in any case.
                (void)QTest::qWaitFor([&] { return !seam.texts().empty(); }, 3000);
            }
            modal->close();
        });
        frame.findChild<QAction*>(QStringLiteral("32773"))->trigger();
        QVERIFY(sent);
        QCOMPARE(seam.texts(), std::vector<std::string>{"Success"});
        QCOMPARE(seam.boxes()[0].caption, std::string("設定完了"));
        QCOMPARE(panelSettings.charColor[4][1], 1);
        QCOMPARE(sign.Lines(), QStringList{wire});

        link.CloseLink();
        InstallCommandPort(nullptr);
        frame.ShutDown();
    }
};

QTEST_MAIN(SheetRoadTest)
#include "sheet_road_test.moc"
