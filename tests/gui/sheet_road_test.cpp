// The whole road of one setting: the main window's "KVTの設定" opens the
// sheet, page 5 line 2 goes red on the colour page, "設定" sends it over the
// serial link to the simulated sign, and its "GO" comes back as "Success".
#include <QAction>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app/main_frame.h"
#include "app/reply_pump.h"
#include "app_test_support.h"
#include "sheet_support.h"
#include "support/qt_test_main.h"

using namespace kvt;
using namespace kvt::test;

class SheetRoadTest : public QObject {
    Q_OBJECT
private slots:
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
        QTemporaryDir dir;
        SimulatedSign sign(dir.path(), signOptions);
        QVERIFY(sign.running());

        SessionRig rig;
        Session& session = rig.session;
        session.SetPort(nullptr);  // commands go to the link
        session.lineMode = mode;
        session.slaveNo = 5;
        ReplyPump pump(session);
        SerialLink& link = session.link();
        link.SetConsumer([&pump](const std::string& line) { pump.Post(line); });
        link.OpenPort(sign.link().toStdString());
        link.StartReadThread();
        CMainFrame frame(rig.line, &pump);
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
                (void)QTest::qWaitFor([&] { return !rig.boxes.texts().empty(); }, 3000);
            }
            modal->close();
        });
        frame.findChild<QAction*>(QStringLiteral("32773"))->trigger();
        QVERIFY(sent);
        QCOMPARE(rig.boxes.texts(), std::vector<std::string>{"Success"});
        QCOMPARE(rig.boxes.boxes()[0].caption, std::string("設定完了"));
        QCOMPARE(session.panelSettings.charColor[4][1], 1);
        QCOMPARE(sign.Lines(), QStringList{wire});
        frame.ShutDown();
    }
};

KVT_QTEST(SheetRoadTest)
#include "sheet_road_test.moc"
