// kvt540m-cli on a real port, against the simulated sign: single commands,
// RS-485, the profile's port, a sign that never answers, an error reply that
// stops a run, Ctrl+C, and whole timed runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <thread>

#include "link/cli_runner.h"
#include "protocol/command_set.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "protocol/read_back_decoders.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::milliseconds;

using test::kSample;

using test::CliOnSim;
using test::CliResult;

TEST_F(CliOnSim, SingleCommandPrintsTheReplyAndSucceedsOnlyOnGo) {
    test::Sim sim({"--reply", "2=MENU", "--reply", "3=XYZ"});
    CliResult ok = Run({"display", "on", "--port", sim.path()});
    EXPECT_EQ(ok.out, "Success\n");
    EXPECT_EQ(ok.status, 0) << ok.err;
    CliResult menu = Run({"send", kSample, "hpos", "--port", sim.path()});
    EXPECT_EQ(menu.out, "Menu Display\n");
    EXPECT_EQ(menu.status, 1);
    CliResult unknown = Run({"send", kSample, "vpos", "--port", sim.path()});
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "kvt540m-cli: the sign's reply was not understood\n");
    EXPECT_EQ(unknown.status, 1);
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].second, "IDON");
}

TEST_F(CliOnSim, Rs485AddressesTheSlaveAndTheProfileNamesThePort) {
    test::Sim sim({"--rs485", "--slave", "5"});
    std::ofstream(dir / "KVT540M.INI") << "[KVT-540-M_Section]\ncom_port=1\nrs_control=1\n"
                                       << "[Devices]\nCOM2=" << sim.path() << "\n";
    // The port and the line type both come from the profile.
    CliResult viaProfile = Run({"display", "off", "--slave", "5"});
    EXPECT_EQ(viaProfile.out, "Success\n");
    EXPECT_EQ(viaProfile.status, 0) << viaProfile.err;
    CliResult named = Run({"send", kSample, "vpos", "--port", "com2", "--rs485", "--slave", "5"});
    EXPECT_EQ(named.status, 0) << named.err;
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].second, "05IDOF");
    EXPECT_EQ(log[1].second.substr(0, 4), "05PV");
}

TEST_F(CliOnSim, SignThatNeverAnswersGivesOneNoConnectAfterThreeSeconds) {
    test::Sim sim({"--rs485", "--slave", "5"});
    auto cli = test::StartCli(dir, {"display", "on", "--port", sim.path(), "--rs485", "--slave", "4"});
    const double shownAt = test::WhenPrinted(dir, "No Connect", milliseconds(6000));
    CliResult r = test::FinishCli(dir, *cli);
    EXPECT_EQ(r.out, "No Connect\n");
    EXPECT_EQ(r.status, 1);
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].second, "04IDON");
    // Seven ticks of 500 ms, the first 250 ms after the write: 3.25 s, in
    // the 3.0 to 3.5 s that the window's free-running timer gives.
    const double after = shownAt - log[0].first;
    EXPECT_GE(after, 3.0);
    EXPECT_LT(after, 3.5);
    EXPECT_LE(r.endedAt - shownAt, 1.0);  // and the tool ends
}

TEST_F(CliOnSim, SignThatDisappearsGivesNoConnectWithoutSpinning) {
    test::Sim sim({"--delay", "2000"});
    CliResult r = Run({"display", "on", "--port", sim.path()}, 0.5, &sim);
    EXPECT_EQ(r.out, "No Connect\n");
    EXPECT_EQ(r.status, 1);
    // About three seconds without a port cost the tool next to no CPU.
    EXPECT_LT(r.cpuSeconds, 0.3);
}

TEST_F(CliOnSim, ErrorReplyStopsTheRunAtTheNextTick) {
    test::Sim sim({"--reply", "3=E1"});
    CliResult r = Run({"send", kSample, "--port", sim.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Parity Error\n");
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 3u);  // pages 1 to 3, then nothing
    EXPECT_EQ(log[2].second.substr(0, 4), "CA03");
    EXPECT_NE(r.err.find("step 3\n"), std::string::npos);
    EXPECT_EQ(r.err.find("step 4\n"), std::string::npos);
}

// A device that cannot be used is said in one line: the device, the
// system's reason and the first step that failed (the window program keeps
// its five boxes).
TEST_F(CliOnSim, PortThatCannotBeOpenedIsSaidInOneLine) {
    const std::string regular = dir / "settings.txt";
    std::ofstream(regular) << "not a device";
    const struct {
        std::string device, line;
    } cases[] = {
        {"/dev/kvt-no-such-port", "/dev/kvt-no-such-port: No such file or directory (Miss! File Open)"},
        {regular, regular + ": not a serial device (Miss! Mask Set)"},
        {dir.path(), dir.path() + ": Is a directory (Miss! File Open)"},
    };
    for (const auto& c : cases) {
        CliResult r = Run({"display", "on", "--port", c.device});
        EXPECT_EQ(r.status, 1) << c.device;
        EXPECT_EQ(r.out, "") << c.device;
        EXPECT_EQ(r.err, "kvt540m-cli: " + c.line + "\n");
    }
}

TEST_F(CliOnSim, ADevicePathOfAnyLengthGivesShortMessages) {
    for (const std::string& port : {"/" + std::string(100000, 'd'), "/dev/" + std::string(200, 'd')}) {
        CliResult r = Run({"display", "on", "--port", port});
        EXPECT_EQ(r.status, 1);
        EXPECT_LT(r.out.size() + r.err.size(), 300u) << r.err.substr(0, 300);
    }
}

TEST_F(CliOnSim, CtrlCDuringTheReadBackWritesNoFile) {
    test::Sim sim({});
    CliResult r = Run({"read", dir / "out.dat", "--port", sim.path()}, 1.7);
    EXPECT_NE(r.status, 0);
    struct stat info {};
    EXPECT_NE(::stat((dir / "out.dat").c_str(), &info), 0);
    EXPECT_EQ(std::system(("ls -A " + dir.path() + " | grep -v -e '^cli\\.' -e '^KVT' | grep -q .").c_str()) == 0,
              false) << "a stray file was left";
    // The sign saw three requests and the link let go of the port.
    EXPECT_EQ(test::LogLines(sim.log()).size(), 3u);
    CliResult again = Run({"display", "on", "--port", sim.path()});
    EXPECT_EQ(again.status, 0);
}

TEST_F(CliOnSim, WholeReadBackIntoAFileAtReplyPace) {
    test::Sim sim({"--load", kSample});
    CliResult r = Run({"read", dir / "out.dat", "--port", sim.path(), "--pace", "reply", "--gap", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("step 103\n"), std::string::npos);
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 102u);
    EXPECT_EQ(log[0].second, "RCA01");
    EXPECT_EQ(log.back().second, "RPV");

    // What the read-back can know of the sample: texts as they travel,
    // blink and fill as on/off, everything else as it is; the page
    // sequence is not read and stays at its default.
    Session expected;
    PanelSettings& s = expected.panelSettings;
    ASSERT_TRUE(ReadSettingsFile(kSample, &s, &expected.currentPage));
    for (int p = 0; p < kPageCount; ++p) {
        DecodeTextReply(BuildTextCommand(s, 'A', p).line, &s);
        s.fillMask[p] = s.fillMask[p] != 0;
        for (int k = 0; k < kLineCount; ++k) s.blinkMode[p][k] = s.blinkMode[p][k] != 0;
    }
    s.sequenceMode = 0;
    EXPECT_EQ(test::ReadFile(dir / "out.dat"), FormatSettings(s, expected.currentPage));
}

// A read whose sign goes away half-way leaves the file it was to write over
// as it was.
TEST_F(CliOnSim, ReadCutShortLeavesTheFileAlone) {
    const std::string kept = test::ReadFile(kSample);
    std::ofstream(dir / "back.dat", std::ios::binary) << kept;
    test::Sim lost({"--load", kSample});
    auto cut = test::StartCli(dir, {"read", dir / "back.dat", "--port", lost.path(), "--pace", "reply",
                                    "--gap", "200"});
    std::this_thread::sleep_for(milliseconds(1000));
    lost.Kill();
    CliResult c = test::FinishCli(dir, *cut);
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(test::ReadFile(dir / "back.dat") == kept) << "back.dat was written over";
    const std::string tail = " of 102 requests answered; " + dir / "back.dat" + " not written\n";
    ASSERT_GT(c.err.size(), tail.size());
    EXPECT_EQ(c.err.substr(c.err.size() - tail.size()), tail);
    const int answered = std::atoi(c.err.substr(c.err.rfind("; ", c.err.size() - tail.size()) + 2).c_str());
    EXPECT_GE(answered, 3) << c.err;
    EXPECT_LE(answered, 6) << c.err;
    EXPECT_NE(c.out.find("No Connect\n"), std::string::npos);
}

// A reply that is none a sign gives fails the run, and a read writes nothing.
TEST_F(CliOnSim, AGarbledReplyFailsTheRunAndWritesNoFile) {
    const std::string out = dir / "out.dat";
    const struct {
        std::vector<std::string> args;
        std::string lastLine;
    } cases[] = {
        {{"send", kSample}, "kvt540m-cli: the sign's reply was not understood\n"},
        {{"read", out},
         "kvt540m-cli: the sign's reply was not understood; 101 of 102 requests answered; " + out +
             " not written\n"},
    };
    for (const auto& c : cases) {
        test::Sim sim({"--reply", "5=#?x"});
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--port", sim.path(), "--pace", "reply", "--gap", "0"});
        CliResult r = Run(args);
        EXPECT_EQ(r.status, 1) << c.args[0];
        ASSERT_GT(r.err.size(), c.lastLine.size()) << r.err;
        EXPECT_EQ(r.err.substr(r.err.size() - c.lastLine.size()), c.lastLine);
        EXPECT_EQ(test::LogLines(sim.log()).size(), 102u);
        struct stat info {};
        EXPECT_NE(::stat(out.c_str(), &info), 0);
    }
}

TEST_F(CliOnSim, ReplyPaceStopsAtOnceOnAnErrorReply) {
    test::Sim sim({"--reply", "3=E1"});
    CliResult r = Run({"send", kSample, "--port", sim.path(), "--pace", "reply"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Parity Error\n");
    EXPECT_EQ(test::LogLines(sim.log()).size(), 3u);
    EXPECT_NE(r.err.find("stopped on the sign's error reply"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kvt
