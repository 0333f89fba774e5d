// The commands for whole installations against a bus of simulated signs on
// one RS-485 line: verify, deploy with and without verifying, read-all, the
// table, the JSON report, silent slaves and Ctrl+C.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "link/cli_runner.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "support/test_paths.h"
#include "tools/cli/sign_results.h"

namespace kvt {
namespace {

using test::kSample;

class BusTest : public ::testing::Test {
protected:
    test::CliResult Run(const std::vector<std::string>& args, double interruptAfter = 0) {
        return test::RunCli(dir, args, interruptAfter);
    }
    bool Exists(const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    test::TempDir dir;
};

TEST_F(BusTest, VerifyTellsAgreementDifferencesAndLinkFailures) {
    test::Sim sim({"--rs485", "--slave", "1-2", "--load-slave", "2=" + kSample});
    const std::vector<std::string> link{"--port", sim.path(), "--rs485", "--pace", "reply", "--gap", "0"};
    auto verify = [&](const std::string& slave) {
        std::vector<std::string> args{"verify", kSample, "--slave", slave};
        args.insert(args.end(), link.begin(), link.end());
        return Run(args);
    };
    test::CliResult same = verify("2");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "The sign holds what the file says.\n");

    // Slave 1 holds the defaults: white text on black, no texts.
    test::CliResult differs = verify("1");
    EXPECT_EQ(differs.status, 3) << differs.err;
    EXPECT_NE(differs.out.find("page 01 line 1 character colour: file 赤 (1), sign 白 (7)\n"),
              std::string::npos)
        << differs.out;
    EXPECT_NE(differs.out.find("page 01 line 1 text: file \"ようこそ\", sign \"\"\n"),
              std::string::npos);

    test::CliResult silent = verify("9");
    EXPECT_EQ(silent.status, 1);
    EXPECT_NE(silent.err.find("the read-back failed: No Connect"), std::string::npos) << silent.err;
}

TEST_F(BusTest, DeployGoesOnPastFailingSlavesAndReportsEach) {
    test::Sim sim({"--rs485", "--slave", "1,3-4", "--slave-reply", "4=E3"});
    test::CliResult r = Run({"deploy", kSample, "--slaves", "1,2,3-4", "--verify", "--port", sim.path(),
                    "--pace", "reply", "--gap", "0", "--report", dir / "report.json"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("   01  OK "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   02  No Connect "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   03  OK "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   04  Command Error "), std::string::npos) << r.out;

    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(test::ReadFile(dir / "report.json"))).object();
    EXPECT_EQ(report["command"].toString(), "deploy");
    EXPECT_FALSE(report["ok"].toBool());
    const QJsonArray slaves = report["slaves"].toArray();
    ASSERT_EQ(slaves.size(), 4);
    EXPECT_EQ(slaves[0].toObject()["result"].toString(), "OK");
    EXPECT_EQ(slaves[1].toObject()["error"].toString(), "No Connect");
    EXPECT_EQ(slaves[3].toObject()["slave"].toInt(), 4);
    EXPECT_EQ(slaves[3].toObject()["error"].toString(), "Command Error");

    // What the sign now holds agrees with the file.
    test::CliResult check = Run({"verify", kSample, "--port", sim.path(), "--rs485", "--slave", "3",
                        "--pace", "reply", "--gap", "0"});
    EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(BusTest, ASilentSlaveHoldsUpNoLongerThanOneReplyTimeOut) {
    test::Sim sim({"--rs485", "--slave", "1"});
    test::CliResult r = Run({"deploy", kSample, "--slaves", "7", "--port", sim.path()});  // timed pace
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("   07  No Connect "), std::string::npos) << r.out;
    EXPECT_LT(r.seconds, 4.5);
    // The texts sent every 500 ms until "No Connect", 3.0 to 3.5 s after the first.
    const size_t sent = test::LogLines(sim.log()).size();
    EXPECT_GE(sent, 6u);
    EXPECT_LE(sent, 8u);
}

TEST_F(BusTest, ReadAllWritesAFileForEachAnsweringSlaveOnly) {
    test::Sim sim({"--rs485", "--slave", "2,5", "--load-slave", "5=" + kSample});
    test::CliResult r = Run({"read-all", dir / "bus", "--slaves", "2,5,6", "--port", sim.path(), "--pace",
                    "reply", "--gap", "0", "--report", dir / "read.json"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Exists(dir / "bus/slave-02.dat"));
    EXPECT_TRUE(Exists(dir / "bus/slave-05.dat"));
    EXPECT_FALSE(Exists(dir / "bus/slave-06.dat"));
    Session five;
    ASSERT_TRUE(ReadSettingsFile(dir / "bus/slave-05.dat", &five.panelSettings, &five.currentPage));
    EXPECT_EQ(five.panelSettings.charColor[0][0], 1);  // red, as in the sample
    EXPECT_NE(r.out.find("   06  No Connect "), std::string::npos) << r.out;
}

TEST_F(BusTest, CtrlCStopsTheBusAndWritesNoPartialFile) {
    test::Sim sim({"--rs485", "--slave", "1"});
    test::CliResult r = Run({"read-all", dir / "bus", "--slaves", "1", "--port", sim.path()}, 1.2);
    EXPECT_EQ(r.status, 130);
    EXPECT_FALSE(Exists(dir / "bus/slave-01.dat"));
}

TEST_F(BusTest, TheReportRoundsSecondsToTenthsAndNamesABadPathBriefly) {
    std::vector<SignRow> results(4);
    const Millis ms[] = {1260, 1249, 50, 49};
    for (size_t i = 0; i < results.size(); ++i) results[i].result.ms = ms[i];
    std::string error;
    ASSERT_TRUE(WriteResultsReport(ResultsOf::Bus, dir / "r.json", "deploy", results, &error))
        << error;
    const QByteArray report = QByteArray::fromStdString(test::ReadFile(dir / "r.json"));
    const QJsonArray slaves = QJsonDocument::fromJson(report).object()["slaves"].toArray();
    ASSERT_EQ(slaves.size(), 4);
    const double seconds[] = {1.3, 1.2, 0.1, 0.0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(slaves[i].toObject()["seconds"].toDouble(), seconds[i]) << i;

    const std::string path = "/" + std::string(100000, 'r') + ".json";
    EXPECT_FALSE(WriteResultsReport(ResultsOf::Bus, path, "deploy", results, &error));
    EXPECT_EQ(error, "cannot write the report /" + std::string(39, 'r') + "...");
}

TEST_F(BusTest, SlaveListsAreCheckedBeforeAnythingIsSent) {
    for (const char* bad : {"32", "3-1", "1,,2", "a", "1,"}) {
        test::CliResult r = Run({"deploy", kSample, "--slaves", bad, "--port", "/dev/null"});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("--slaves"), std::string::npos) << r.err;
    }
    test::CliResult missing = Run({"read-all", dir / "bus", "--port", "/dev/null"});
    EXPECT_EQ(missing.status, 2);
}

}  // namespace
}  // namespace kvt
