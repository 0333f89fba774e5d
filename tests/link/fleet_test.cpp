// kvt540m-cli fleet against lines of simulated signs on TCP: every line at
// once with each sign's own file and its selected page, a line whose server
// refuses, one whose connection drops, a sign that differs, the exit
// statuses, the table, the report, the files of a read, and Ctrl+C.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/cli_runner.h"
#include "link/loopback.h"
#include "settings/settings_file.h"
#include "text/file_name.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::kSample;

class FleetTest : public ::testing::Test {
protected:
    FleetTest()
        : a({"--tcp", "127.0.0.1:0", "--rs485", "--slave", "1-2", "--load-slave", "2=" + File()}),
          b({"--tcp", "127.0.0.1:0", "--rs485", "--slave", "1,3"}) {}
    // The signs' file: sample.dat with page 5 selected alone (no sequence),
    // which is the page a deploy sends and a verify compares.
    std::string File() {
        PanelSettings settings;
        int page = 0;
        std::string message;
        EXPECT_TRUE(ReadSettingsFile(kSample, &settings, &page, &message));
        settings.sequenceMode = 0;
        EXPECT_EQ(WriteSettingsFile(dir / "sample.dat", settings, 4, &message), SaveResult::Ok);
        return dir / "sample.dat";
    }
    // The sheet: two signs on a, two on b, and one on a server that refuses.
    std::string Sheet() {
        const std::string sheet = dir / "fleet.csv";
        std::ofstream(sheet) << "\xEF\xBB\xBFport,slave,file,name\r\n"
                             << a.path() << ",1,sample.dat,hall\r\n"
                             << a.path() << ",2,sample.dat,\r\n"
                             << b.path() << ",1,sample.dat,gate 1\r\n"
                             << b.path() << ",3,sample.dat,gate 3\r\n"
                             << "tcp://127.0.0.1:1,5,sample.dat,closed\r\n";
        return sheet;
    }
    // The sheet without the line that refuses, in a file of its own.
    std::string Reachable(const std::string& sheet) {
        std::string rows = test::ReadFile(sheet);
        std::ofstream(dir / "reachable.csv") << rows.substr(0, rows.find("tcp://127.0.0.1:1,"));
        return dir / "reachable.csv";
    }
    // The table's row of the sign: its name, then the rest of the row.
    static std::string RowOf(const std::string& table, const std::string& name) {
        const size_t at = table.find("\n" + name + "  ");
        return at == std::string::npos ? "" : table.substr(at + 1, table.find('\n', at + 1) - at - 1);
    }
    static QJsonObject Report(const std::string& path) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(test::ReadFile(path))).object();
    }
    // The files of a read not yet put in place.
    static int Unsaved(const std::string& folder) {
        int count = 0;
        std::error_code none;  // not made yet
        for (const auto& entry : std::filesystem::directory_iterator(folder, none))
            count += entry.path().filename().string().rfind(".kvt540m-save-", 0) == 0;
        return count;
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
    // Before: only a's slave 2 holds the file; differences and nothing worse.
    test::CliResult differs =
        test::RunCli(dir, {"fleet", "verify", Reachable(sheet), "--pace", "reply", "--gap", "0",
                           "--report", dir / "differs.json"});
    EXPECT_EQ(differs.status, 3) << differs.out << differs.err;
    // After the table, each differing sign's differences under its name, as
    // the report has them.
    const QJsonArray all = Report(dir / "differs.json")["signs"][0]["differences"].toArray();
    ASSERT_FALSE(all.isEmpty());
    std::string listed = "\n\nhall:\n";
    for (const QJsonValue& difference : all)
        listed += "  " + difference.toString().toStdString() + "\n";
    EXPECT_NE(differs.out.find(listed), std::string::npos) << differs.out;
    EXPECT_EQ(differs.out.find("\n" + a.path() + "/02:\n"), std::string::npos);  // agrees
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
    const QJsonObject report = Report(dir / "report.json");
    EXPECT_EQ(report["command"].toString(), "fleet deploy");
    const QJsonArray signs = report["signs"].toArray();
    ASSERT_EQ(signs.size(), 5);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(signs[i].toObject()["result"].toString(), "OK") << i;
    EXPECT_EQ(signs[2].toObject()["name"].toString(), "gate 1");
    EXPECT_EQ(signs[2].toObject()["slave"].toInt(), 1);
    EXPECT_EQ(signs[4].toObject()["result"].toString(), "not reached");
    EXPECT_NE(signs[4].toObject()["error"].toString().indexOf("Connection refused"), -1);

    // Without the closed line, everything agrees now, the selected page too.
    test::CliResult again = test::RunCli(dir, {"fleet", "verify", Reachable(sheet), "--pace", "reply"});
    EXPECT_EQ(again.status, 0) << again.out << again.err;
}

// A line whose connection drops fails its signs and is not connected again
// (a connect would hold up every line). At the timed pace commands go on
// after the drop until the sign is given up.
TEST_F(FleetTest, ALineWhoseConnectionDropsIsNotConnectedAgain) {
    test::HangUpServer server;
    const std::string sheet = dir / "dropping.csv";
    std::ofstream(sheet) << "port,slave,file,name\r\n"
                         << server.address() << ",1,sample.dat,first\r\n"
                         << server.address() << ",2,sample.dat,second\r\n";
    test::CliResult deploy = test::RunCli(dir, {"fleet", "deploy", sheet});
    EXPECT_EQ(deploy.status, 1);
    EXPECT_NE(RowOf(deploy.out, "first").find("No Connect"), std::string::npos) << deploy.out;
    EXPECT_NE(RowOf(deploy.out, "second").find("not reached"), std::string::npos) << deploy.out;
    EXPECT_EQ(server.connections(), 1);
}

// More lines at once than the usual soft limit of open files allows: the
// tool raises it to the hard limit.
TEST_F(FleetTest, ManyLinesGetTheHardLimitOfOpenFiles) {
    test::Sim many({"--tcp", "127.0.0.1:0", "--lines", "40"});
    const std::string sheet = dir / "many.csv";
    std::ofstream rows(sheet);
    rows << "port,slave,file,name\r\n";
    std::istringstream addresses(many.printed());
    for (std::string address; std::getline(addresses, address);)
        rows << address << ",," << File() << ",\r\n";
    rows.close();
    // The soft limit is raised to the hard one; under a hard limit of 32 a
    // line lets go of its descriptors (its trace file too) as it ends, for
    // the next lines.
    for (const char* limit : {"ulimit -Sn 32", "ulimit -n 32"}) {
        SCOPED_TRACE(limit);
        const bool hard = limit[7] != 'S';
        std::vector<std::string> args = {"/bin/sh", "-c", std::string(limit) + " && exec \"$0\" \"$@\"",
                                         KVT_CLI_PATH, "fleet", "deploy", sheet, "--pace", "reply",
                                         "--gap", "0", "--jobs", hard ? "8" : "40"};
        if (hard) args.insert(args.end(), {"--trace", dir / "traces"});
        test::Child cli(args, dir / "many.out", dir / "many.err", test::ChildSetup{"/dev/null", dir.path()});
        EXPECT_EQ(cli.Wait(), 0) << test::ReadFile(dir / "many.out") << test::ReadFile(dir / "many.err");
    }
    std::istringstream lines(many.printed());
    for (std::string address; std::getline(lines, address);)
        EXPECT_NE(test::ReadFile(dir / ("traces/" + FileNameOf(address) + ".trace")).find(" GO\\r\\n"),
                  std::string::npos) << address;
}

TEST_F(FleetTest, ReadWritesAFilePerSignAndCtrlCLeavesNoPartialFile) {
    const std::string sheet = Sheet();
    // A file where the folder should be: refused before any sign is read.
    test::CliResult onFile = test::RunCli(dir, {"fleet", "read", sheet, sheet});
    EXPECT_EQ(onFile.status, 1);
    EXPECT_NE(onFile.err.find(": Not a directory\n"), std::string::npos) << onFile.err;
    EXPECT_TRUE(test::LogLines(a.log()).empty() && test::LogLines(b.log()).empty());

    // The files go in place as the run ends: one whose place a folder takes
    // meanwhile (the four read, the silent sign holding its line) fails.
    std::ofstream(sheet, std::ios::app) << b.path() << ",4,sample.dat,silent\r\n";
    auto cli = test::StartCli(
        dir, {"fleet", "read", sheet, dir / "out", "--pace", "reply", "--gap", "0"});
    for (int wait = 0; wait < 300 && Unsaved(dir / "out") < 4; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(::mkdir((dir / "out/gate_3.dat").c_str(), 0777), 0);
    std::ofstream(dir / "out/gate_3.dat/inside");
    test::CliResult read = test::FinishCli(dir, *cli);
    EXPECT_EQ(read.status, 1) << read.err;
    EXPECT_NE(RowOf(read.out, "gate 3").find("Can't file write: Is a directory"), std::string::npos)
        << read.out;
    EXPECT_EQ(Unsaved(dir / "out"), 0);
    PanelSettings settings;
    int page = 0;
    std::string message;
    ASSERT_TRUE(ReadSettingsFile(dir / "out/gate_1.dat", &settings, &page, &message)) << read.out;
    EXPECT_TRUE(ReadSettingsFile(dir / "out/hall.dat", &settings, &page, &message));
    // No file for a sign not reached, nor for one that did not answer.
    EXPECT_FALSE(Exists(dir / "out/closed.dat"));
    EXPECT_NE(RowOf(read.out, "silent").find("No Connect"), std::string::npos) << read.out;
    EXPECT_FALSE(Exists(dir / "out/silent.dat"));

    // Stopped during the timed read-back: the table, and no file of a sign not done.
    test::CliResult stopped = test::RunCli(dir, {"fleet", "read", sheet, dir / "stopped"}, 2.0);
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_NE(stopped.err.find("kvt540m-cli: interrupted"), std::string::npos);
    EXPECT_NE(RowOf(stopped.out, "hall"), "") << stopped.out;
    EXPECT_FALSE(Exists(dir / "stopped/hall.dat"));
    EXPECT_FALSE(Exists(dir / "stopped/gate_1.dat"));
}

// Ctrl+C ends every line at once, connects under way included: the sign in
// hand is interrupted, the others not reached, and the table and report say
// so.
TEST_F(FleetTest, CtrlCEndsEveryLineAtOnceConnectsIncluded) {
    test::DeafServer deaf;
    const std::string sheet = dir / "stopped.csv";
    std::ofstream(sheet) << "port,slave,file,name\r\n"
                         << a.path() << ",1,sample.dat,first\r\n"
                         << a.path() << ",2,sample.dat,second\r\n"
                         << "tcp://127.0.0.1:" << deaf.port() << ",1,sample.dat,deaf\r\n";
    constexpr double kAfter = 1.0;
    test::CliResult stopped =
        test::RunCli(dir, {"fleet", "deploy", sheet, "--report", dir / "stopped.json"}, kAfter);
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_LT(stopped.seconds, kAfter + 0.5);
    EXPECT_NE(RowOf(stopped.out, "first").find("interrupted"), std::string::npos) << stopped.out;
    EXPECT_NE(RowOf(stopped.out, "second").find("not reached"), std::string::npos) << stopped.out;
    EXPECT_NE(RowOf(stopped.out, "deaf").find("not reached"), std::string::npos) << stopped.out;
    const QJsonArray signs = QJsonDocument::fromJson(QByteArray::fromStdString(
        test::ReadFile(dir / "stopped.json"))).object()["signs"].toArray();
    ASSERT_EQ(signs.size(), 3);
    EXPECT_EQ(signs[0].toObject()["result"].toString(), "interrupted");
}

}  // namespace
}  // namespace kvt
