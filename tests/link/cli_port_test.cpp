// kvt540m-cli on a real port, against the simulated sign: single commands,
// RS-485, the profile's port, a sign that never answers, an error reply that
// stops a run, Ctrl+C, and whole timed runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <thread>

#include "link/pty_partner.h"
#include "protocol/command_set.h"
#include "settings/panel_settings.h"
#include "settings/settings_file.h"
#include "transfer/read_back_decoders.h"

namespace kvt {
namespace {

using test::milliseconds;

const std::string kSample = std::string(KVT_TEST_DATA) + "/sample.dat";

struct CliResult {
    int status;
    double cpuSeconds;
    std::string out, err;
    double endedAt;  // monotonic seconds
};

class CliOnSim : public ::testing::Test {
protected:
    // Starts the tool; its output goes to NAME.out and NAME.err.
    std::unique_ptr<test::Child> Start(const std::vector<std::string>& args,
                                       const std::string& name = "cli") {
        std::vector<std::string> argv{KVT_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        return std::make_unique<test::Child>(argv, dir / (name + ".out"), dir / (name + ".err"),
                                             dir.path());
    }

    CliResult Finish(test::Child& cli, const std::string& name = "cli") {
        CliResult r;
        r.status = cli.Wait(&r.cpuSeconds);
        r.endedAt = test::MonotonicNow();
        r.out = test::ReadFile(dir / (name + ".out"));
        r.err = test::ReadFile(dir / (name + ".err"));
        return r;
    }

    // Runs the tool; after `interruptAfter` seconds (if any) it is sent
    // SIGINT, or the sign is killed when one is given.
    CliResult Run(const std::vector<std::string>& args, double interruptAfter = 0,
                  test::Sim* killSign = nullptr) {
        auto cli = Start(args);
        if (interruptAfter > 0) {
            std::this_thread::sleep_for(std::chrono::duration<double>(interruptAfter));
            if (killSign) killSign->Kill(); else cli->Signal(SIGINT);
        }
        return Finish(*cli);
    }

    // When `text` first appeared on the tool's standard output (monotonic
    // seconds), watched for at most `within`; 0 when it never did.
    double WhenPrinted(const std::string& text, milliseconds within, const std::string& name = "cli") {
        const auto end = test::Clock::now() + within;
        while (test::Clock::now() < end) {
            if (test::ReadFile(dir / (name + ".out")).find(text) != std::string::npos)
                return test::MonotonicNow();
            std::this_thread::sleep_for(milliseconds(2));
        }
        return 0;
    }

    test::TempDir dir;
};

TEST_F(CliOnSim, SingleCommandPrintsTheReplyAndSucceedsOnlyOnGo) {
    test::Sim sim({"--reply", "2=MENU"});
    CliResult ok = Run({"display", "on", "--port", sim.path()});
    EXPECT_EQ(ok.out, "Success\n");
    EXPECT_EQ(ok.status, 0) << ok.err;
    CliResult menu = Run({"send", kSample, "hpos", "--port", sim.path()});
    EXPECT_EQ(menu.out, "Menu Display\n");
    EXPECT_EQ(menu.status, 1);
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 2u);
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
    auto cli = Start({"display", "on", "--port", sim.path(), "--rs485", "--slave", "4"});
    const double shownAt = WhenPrinted("No Connect", milliseconds(6000));
    CliResult r = Finish(*cli);
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

TEST_F(CliOnSim, PortThatCannotBeOpenedGivesTheFiveMessages) {
    CliResult r = Run({"display", "on", "--port", "/dev/kvt-no-such-port"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Miss! File Open\nMiss! Mask Set\nMiss! Buffer Set\nMiss! Time Out Set\n"
                     "Miss! Set Comm State\n");
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

// Offset of step s of the all-items run from its first command, in seconds.
double AllItemsOffset(int step) { return step <= 33 ? 0.5 * (step - 1) : 16.0 + 0.2 * (step - 33); }

// Beside the whole run, two runs that do not fully succeed go on at the same
// time: one whose 40th command gets no reply, one with steps its file does
// not let through. Both end in failure.
TEST_F(CliOnSim, WholeAllItemsRunInOrderAndOnTime) {
    CliResult dry = Run({"send", kSample, "--dry-run"});
    ASSERT_EQ(dry.status, 0);
    test::Sim silent({"--reply", "40=none"});
    test::Sim rejecting({});
    auto partly = Start({"send", kSample, "--port", silent.path()}, "partly");
    auto rejected = Start({"send", std::string(KVT_TEST_DATA) + "/rejects.dat", "--port",
                           rejecting.path()}, "rejected");
    test::Sim sim({});
    CliResult r = Run({"send", kSample, "--port", sim.path()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Success\n");

    CliResult p = Finish(*partly, "partly");
    EXPECT_EQ(p.status, 1) << p.err;
    EXPECT_EQ(test::LogLines(silent.log()).size(), 102u);
    CliResult j = Finish(*rejected, "rejected");
    EXPECT_EQ(j.status, 1) << j.err;
    EXPECT_NE(j.err.find("step 39: Miss! Can't Set\n"), std::string::npos) << j.err;
    EXPECT_EQ(test::LogLines(rejecting.log()).size(), 99u);

    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 102u);
    std::vector<std::string> expected;
    for (size_t start = 0, lf; (lf = dry.out.find("\r\n", start)) != std::string::npos; start = lf + 2)
        expected.push_back(dry.out.substr(start, lf - start));
    ASSERT_EQ(expected.size(), 102u);
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].second, expected[i]) << "command " << i + 1;
        const int step = static_cast<int>(i) + (i < 32 ? 1 : 2);  // step 33 sends nothing
        EXPECT_NEAR(log[i].first - log[0].first, AllItemsOffset(step), 0.15) << "step " << step;
    }
    EXPECT_NEAR(log.back().first - log[0].first, 30.0, 0.15);
}

// Beside the whole read-back, another one loses its sign after 5 s: the
// file it was to write over keeps its settings.
TEST_F(CliOnSim, WholeReadBackIntoAFile) {
    const std::string kept = test::ReadFile(kSample);
    std::ofstream(dir / "back.dat", std::ios::binary) << kept;
    test::Sim lost({"--load", kSample});
    auto cut = Start({"read", dir / "back.dat", "--port", lost.path()}, "cut");
    test::Sim sim({"--load", kSample});
    auto whole = Start({"read", dir / "out.dat", "--port", sim.path()});
    std::this_thread::sleep_for(milliseconds(5000));
    lost.Kill();
    CliResult r = Finish(*whole);
    EXPECT_EQ(r.status, 0) << r.err;

    CliResult c = Finish(*cut, "cut");
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(test::ReadFile(dir / "back.dat") == kept) << "back.dat was written over";
    const std::string tail = " of 102 requests answered; " + dir / "back.dat" + " not written\n";
    ASSERT_GT(c.err.size(), tail.size());
    EXPECT_EQ(c.err.substr(c.err.size() - tail.size()), tail);
    const int answered = std::atoi(c.err.substr(c.err.rfind("kvt540m-cli: ") + 13).c_str());
    EXPECT_GE(answered, 8) << c.err;
    EXPECT_LE(answered, 10) << c.err;
    EXPECT_NE(c.out.find("No Connect\n"), std::string::npos);

    EXPECT_NE(r.err.find("step 103\n"), std::string::npos);
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 102u);
    EXPECT_EQ(log[0].second, "RCA01");
    EXPECT_EQ(log.back().second, "RPV");
    EXPECT_NEAR(log.back().first - log[0].first, 51.0, 0.15);

    // What the read-back can know of the sample: texts as they travel,
    // blink and fill as on/off, everything else as it is; the page
    // sequence is not read and stays at its default.
    ASSERT_TRUE(ReadSettingsFile(kSample));
    for (int p = 0; p < kPageCount; ++p) {
        DecodeTextReply(BuildTextCommand('A', p).line);
        panelSettings.fillMask[p] = panelSettings.fillMask[p] != 0;
        for (int k = 0; k < kLineCount; ++k)
            panelSettings.blinkMode[p][k] = panelSettings.blinkMode[p][k] != 0;
    }
    panelSettings.sequenceMode = 0;
    EXPECT_EQ(test::ReadFile(dir / "out.dat"), FormatSettings());
}

}  // namespace
}  // namespace kvt
