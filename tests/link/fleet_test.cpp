// kvt540m-cli fleet against lines of simulated signs on TCP: every line at
// once with each sign's own file, a line whose server refuses, a sign that
// differs, the table, the report, the files of a read, and Ctrl+C.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>

#include "link/cli_runner.h"
#include "settings/settings_file.h"

namespace kvt {
namespace {

using test::kSample;

class FleetTest : public ::testing::Test {
protected:
    FleetTest()
        : a({"--tcp", "127.0.0.1:0", "--rs485", "--slave", "1-2", "--load-slave", "2=" + kSample}),
          b({"--tcp", "127.0.0.1:0", "--rs485", "--slave", "1,3"}) {}
    // The sheet: two signs on a, two on b, and one on a server that refuses.
    std::string Sheet() {
        const std::string sheet = dir / "fleet.csv";
        std::ofstream(sheet) << "\xEF\xBB\xBFport,slave,file,name\r\n"
                             << a.path() << ",1,sample.dat,hall\r\n"
                             << a.path() << ",2,sample.dat,\r\n"
                             << b.path() << ",1,sample.dat,gate 1\r\n"
                             << b.path() << ",3,sample.dat,gate 3\r\n"
                             << "tcp://127.0.0.1:1,5,sample.dat,closed\r\n";
        std::ifstream in(kSample, std::ios::binary);
        std::ofstream(dir / "sample.dat", std::ios::binary) << in.rdbuf();
        return sheet;
    }
    // The table's row of the sign: its name, then the rest of the row.
    static std::string RowOf(const std::string& table, const std::string& name) {
        const size_t at = table.find("\n" + name + "  ");
        return at == std::string::npos ? "" : table.substr(at + 1, table.find('\n', at + 1) - at - 1);
    }
    bool Exists(const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    test::TempDir dir;
    test::Sim a, b;
};

TEST_F(FleetTest, EveryLineAtOnceWithATableAndAReport) {
    const std::string sheet = Sheet();
    // Before: only a's slave 2 holds the file.
    test::CliResult verify = test::RunCli(dir, {"fleet", "verify", sheet, "--pace", "reply", "--gap", "0"});
    EXPECT_EQ(verify.status, 1) << verify.err;  // the closed line is worse than differences
    EXPECT_NE(RowOf(verify.out, "hall").find(" differences "), std::string::npos) << verify.out;
    EXPECT_NE(RowOf(verify.out, a.path() + "/02").find("  OK "), std::string::npos) << verify.out;
    EXPECT_NE(RowOf(verify.out, "closed").find("not reached"), std::string::npos)
        << verify.out;
    EXPECT_NE(verify.err.find("kvt540m-cli: tcp://127.0.0.1:1: Cannot connect to 127.0.0.1 port 1"),
              std::string::npos)
        << verify.err;

    test::CliResult deploy = test::RunCli(
        dir, {"fleet", "deploy", sheet, "--verify", "--pace", "reply", "--gap", "0", "--jobs", "2",
              "--report", dir / "report.json"});
    EXPECT_EQ(deploy.status, 1) << deploy.err;
    const QJsonObject report = QJsonDocument::fromJson(
        QByteArray::fromStdString(test::ReadFile(dir / "report.json"))).object();
    EXPECT_EQ(report["command"].toString(), "fleet deploy");
    const QJsonArray signs = report["signs"].toArray();
    ASSERT_EQ(signs.size(), 5);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(signs[i].toObject()["result"].toString(), "OK") << i;
    EXPECT_EQ(signs[2].toObject()["name"].toString(), "gate 1");
    EXPECT_EQ(signs[2].toObject()["slave"].toInt(), 1);
    EXPECT_EQ(signs[4].toObject()["result"].toString(), "not reached");
    EXPECT_NE(signs[4].toObject()["error"].toString().indexOf("Connection refused"), -1);

    // Without the closed line, everything agrees now.
    std::string rows = test::ReadFile(sheet);
    rows = rows.substr(0, rows.find("tcp://127.0.0.1:1"));
    std::ofstream(sheet) << rows;
    test::CliResult again = test::RunCli(dir, {"fleet", "verify", sheet, "--pace", "reply"});
    EXPECT_EQ(again.status, 0) << again.out << again.err;
}

TEST_F(FleetTest, ReadWritesAFilePerSignAndCtrlCLeavesNoPartialFile) {
    const std::string sheet = Sheet();
    test::CliResult read =
        test::RunCli(dir, {"fleet", "read", sheet, dir / "out", "--pace", "reply", "--gap", "0"});
    EXPECT_EQ(read.status, 1) << read.err;
    PanelSettings settings;
    int page = 0;
    std::string message;
    ASSERT_TRUE(ReadSettingsFile(dir / "out/gate_3.dat", &settings, &page, &message)) << read.out;
    EXPECT_TRUE(ReadSettingsFile(dir / "out/hall.dat", &settings, &page, &message));
    EXPECT_FALSE(Exists(dir / "out/closed.dat"));

    // Stopped during the timed read-back: the table, and no file of a sign not done.
    test::CliResult stopped = test::RunCli(dir, {"fleet", "read", sheet, dir / "stopped"}, 2.0);
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_NE(stopped.err.find("kvt540m-cli: interrupted"), std::string::npos);
    EXPECT_NE(RowOf(stopped.out, "hall"), "") << stopped.out;
    EXPECT_FALSE(Exists(dir / "stopped/hall.dat"));
    EXPECT_FALSE(Exists(dir / "stopped/gate_1.dat"));
}

}  // namespace
}  // namespace kvt
