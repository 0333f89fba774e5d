// The simulated sign through the serial link: what it answers, the state
// it keeps, and its options.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "link/pty_partner.h"
#include "protocol/command_set.h"
#include "protocol/slave_list.h"
#include "serial/command_port.h"
#include "serial/reply_queue.h"
#include "serial/serial_link.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "support/recording_seam.h"
#include "transfer/run_steps.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

// The host's side: the link on the sign's device.
class Host {
public:
    explicit Host(const std::string& device) {
        SerialLink& link = session.link();
        link.SetConsumer([this](const std::string& line) { lines_.Push(line); });
        link.OpenPort(device);
        link.StartReadThread();
    }
    // The reader pushes into lines_: it ends before lines_ goes.
    ~Host() { session.link().CloseLink(); }
    bool open() { return session.link().state() == SerialLink::State::Open; }

    // Sends the line; the reply line, or "<none>" when none came in time.
    std::string Ask(const std::string& line, milliseconds within = milliseconds(1000)) {
        session.SendCommand(line);
        return Next(within);
    }
    std::string Next(milliseconds within = milliseconds(1000)) {
        std::string reply;
        return lines_.PopUntil(Clock::now() + within, &reply) ? reply : "<none>";
    }

    test::RecordingSeam seam;
    Session session{&seam};

private:
    ReplyQueue lines_;
};

// A store that differs from the defaults everywhere the read-back can tell.
void FillStore(Session& session) {
    session.ResetSettings();
    PanelSettings& s = session.panelSettings;
    s.lineText[0][0] = "\x82\xA0";                // "あ"
    for (int k = 0; k < 14; ++k) s.lineText[31][6] += "\x88\x9F";  // a full line of "亜"
    s.charColor[4][1] = 1;
    s.edgeColor[31][6] = 6;
    s.blinkMode[2][2] = 3;
    s.fillMask[7] = 0x41;
    s.whiteLevel[9] = 0;
    s.displayTime[0] = 7;
    s.displayTime[31] = 99;
    s.hPosition = 12;
    s.vPosition = 3;
    session.currentPage = 9;
}

// Everything a set command sends, as the all-items run would.
std::vector<Command> AllSetCommands(const Session& session) {
    const PanelSettings& s = session.panelSettings;
    std::vector<Command> commands;
    for (int p = 0; p < kPageCount; ++p) {
        commands.push_back(BuildTextCommand(s, 'A', p));
        commands.push_back(BuildColourPage(s, p));
        commands.push_back(BuildBlinkPage(s, p));
    }
    for (Command c : {BuildFillBorderAll(s), BuildWhiteLevelAll(s), BuildPageSelect(s, session.currentPage),
                      BuildDisplayTimeAll(s), BuildHPosition(s), BuildVPosition(s)})
        commands.push_back(c);
    return commands;
}

TEST(SignSim, KeepsWhatItIsSetAndReadsItBack) {
    test::Sim sim({});
    Host host(sim.path());
    ASSERT_TRUE(host.open());
    Session& session = host.session;
    FillStore(session);
    const PanelSettings sent = session.panelSettings;
    const int sentPage = session.currentPage;
    for (const Command& c : AllSetCommands(session)) {
        ASSERT_FALSE(c.rejected()) << c.message;
        ASSERT_EQ(host.Ask(c.line), "GO\r\n") << c.line;
    }

    // Read everything back into a new store, as the read-back does.
    session.ResetSettings();
    for (int step = 1; step <= 103; ++step) {
        std::string request = ReadRequestAt(step);
        if (request.empty()) continue;
        session.InterpretReply(host.Ask(request));
    }
    EXPECT_TRUE(host.seam.texts().empty()) << testing::PrintToString(host.seam.texts());
    const PanelSettings& got = session.panelSettings;
    for (int p = 0; p < kPageCount; ++p) {
        for (int k = 0; k < kLineCount; ++k) {
            EXPECT_EQ(got.lineText[p][k], sent.lineText[p][k]) << p << "/" << k;
            EXPECT_EQ(got.charColor[p][k], sent.charColor[p][k]);
            EXPECT_EQ(got.edgeColor[p][k], sent.edgeColor[p][k]);
            EXPECT_EQ(got.blinkMode[p][k], sent.blinkMode[p][k] ? 1 : 0);  // on/off only
        }
        EXPECT_EQ(got.fillMask[p], sent.fillMask[p] ? 1 : 0);
        EXPECT_EQ(got.whiteLevel[p], sent.whiteLevel[p]);
        EXPECT_EQ(got.displayTime[p], sent.displayTime[p]);
    }
    EXPECT_EQ(got.hPosition, 12);
    EXPECT_EQ(got.vPosition, 3);
    EXPECT_EQ(session.currentPage, sentPage);
}

TEST(SignSim, AnswersCommandErrorToWhatIsNotACommand) {
    test::Sim sim({});
    Host host(sim.path());
    const std::string text = BuildTextCommand(host.session.panelSettings, 'A', 0).line;
    std::string lowerHex = text;
    lowerHex[5] = 'a';
    for (const std::string& bad :
         {std::string("PH1\r\n"), std::string("PH16\r\n"), std::string("P33\r\n"),
          std::string("P00\r\n"), std::string("ph08\r\n"), std::string("PH08\n"),
          std::string("P05ICLT70707070707079\r\n"), std::string("P05BDLT0000005\r\n"),
          std::string("PTWL") + std::string(31, 'H') + "X\r\n", text.substr(0, 397) + "\r\n",
          lowerHex, std::string("RCA33\r\n"), std::string("RPTXX\r\n")}) {
        EXPECT_EQ(host.Ask(bad), "E3\r\n") << bad;
    }
    // A rejected line changes nothing.
    EXPECT_EQ(host.Ask("RPH\r\n"), "PH08\r\n");
}

TEST(SignSim, Rs485PlaysEachSlaveWithItsOwnStateAndPrefix) {
    test::TempDir dir;
    Session loaded;
    loaded.panelSettings.vPosition = 3;
    std::string message;
    ASSERT_EQ(WriteSettingsFile(dir / "v3.dat", loaded.panelSettings, 0, &message), SaveResult::Ok);
    test::Sim sim({"--rs485", "--slave", "3,5-6", "--load-slave", "6=" + (dir / "v3.dat"),
                   "--slave-reply", "5=E3"});
    Host host(sim.path());
    Session& session = host.session;
    session.lineMode = 1;
    session.slaveNo = 3;
    EXPECT_EQ(host.Ask("PH02\r\n"), "03GO\r\n");
    session.slaveNo = 7;
    EXPECT_EQ(host.Ask("PH09\r\n", milliseconds(300)), "<none>");
    session.slaveNo = 3;
    EXPECT_EQ(host.Ask("RPH\r\n"), "03PH02\r\n");
    session.InterpretReply("03PH02\r\n");
    EXPECT_EQ(session.panelSettings.hPosition, 2);
    // Slave 6 has its own state, loaded from its own file; slave 5 answers
    // everything with its forced reply.
    session.slaveNo = 6;
    EXPECT_EQ(host.Ask("RPH\r\n"), "06PH08\r\n");
    EXPECT_EQ(host.Ask("RPV\r\n"), "06PV03\r\n");
    session.slaveNo = 5;
    EXPECT_EQ(host.Ask("RPH\r\n"), "05E3\r\n");
}

TEST(SignSim, ForcedRepliesDelayAndSplitReplies) {
    test::Sim sim({"--reply", "2=E1", "--reply", "3=none", "--delay", "200", "--split"});
    Host host(sim.path());
    auto start = Clock::now();
    EXPECT_EQ(host.Ask("PH01\r\n"), "GO\r\n");  // in two writes, one line
    EXPECT_GE(Clock::now() - start, milliseconds(200));
    EXPECT_EQ(host.Ask("PH02\r\n"), "E1\r\n");
    EXPECT_EQ(host.Ask("PH03\r\n", milliseconds(500)), "<none>");
    // Neither forced line was carried out.
    EXPECT_EQ(host.Ask("RPH\r\n"), "PH01\r\n");
    const auto log = test::LogLines(sim.log());
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].second, "PH03");
}

TEST(SignSim, LoadsItsStateAndSavesItWhenTerminated) {
    test::TempDir dir;
    Session session;
    FillStore(session);
    std::string message;
    ASSERT_EQ(WriteSettingsFile(dir / "in.dat", session.panelSettings, session.currentPage, &message),
              SaveResult::Ok)
        << message;
    {
        test::Sim sim({"--load", dir / "in.dat", "--save", dir / "out.dat"});
        // Under a file-size limit the save fails with a message instead of
        // the signal killing the sign half-way through it.
        EXPECT_TRUE(sim.process().Ignores(SIGXFSZ));
        Host host(sim.path());
        EXPECT_EQ(host.Ask("RPV\r\n"), "PV03\r\n");
        EXPECT_EQ(host.Ask("PV15\r\n"), "GO\r\n");
        EXPECT_EQ(sim.Stop(), 0);
    }
    session.ResetSettings();
    ASSERT_TRUE(ReadSettingsFile(dir / "out.dat", &session.panelSettings, &session.currentPage));
    EXPECT_EQ(session.panelSettings.vPosition, 15);
    EXPECT_EQ(session.panelSettings.hPosition, 12);
}

// The lines of what the simulated sign printed.
std::vector<std::string> PrintedLines(const std::string& printed) {
    std::vector<std::string> lines;
    std::istringstream in(printed);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(SignSim, ManyLinesEachServeTheirOwnBusFromOneProcess) {
    test::TempDir dir;
    test::Sim sim({"--tcp", "127.0.0.1:0", "--lines", "3", "--rs485", "--slave", "1-2", "--log",
                   dir / "bus.log"});
    const std::vector<std::string> addresses = PrintedLines(sim.printed());
    ASSERT_EQ(addresses.size(), 3u) << sim.printed();
    for (const std::string& address : addresses)
        EXPECT_EQ(address.rfind("tcp://127.0.0.1:", 0), 0u);
    EXPECT_EQ(std::set<std::string>(addresses.begin(), addresses.end()).size(), 3u);

    // Each line's slave 1 and 2 are set to a horizontal position of their own.
    struct Case {
        int line, slave, position;
        std::string set() const { return "PH" + TwoDigits(position) + "\r\n"; }
        std::string reply() const { return TwoDigits(slave) + set(); }
    };
    const std::vector<Case> cases = {{0, 1, 1}, {0, 2, 2}, {1, 1, 3}, {1, 2, 4}, {2, 1, 5}, {2, 2, 6}};
    std::vector<std::unique_ptr<Host>> hosts;
    for (const std::string& address : addresses) {
        hosts.push_back(std::make_unique<Host>(address));
        ASSERT_TRUE(hosts.back()->open()) << address;
        hosts.back()->session.lineMode = 1;
    }
    auto ask = [&](const Case& c, const std::string& line) {
        hosts[c.line]->session.slaveNo = c.slave;
        return hosts[c.line]->Ask(line);
    };
    for (const Case& c : cases) EXPECT_EQ(ask(c, c.set()), TwoDigits(c.slave) + "GO\r\n");

    // Line 2's client goes; the others go on, and line 2 takes the next
    // client with its signs as they were.
    hosts[1].reset();
    auto readBack = [&](bool secondLine) {
        for (const Case& c : cases) {
            if ((c.line == 1) == secondLine) {
                EXPECT_EQ(ask(c, "RPH\r\n"), c.reply()) << c.line << "/" << c.slave;
            }
        }
    };
    readBack(false);
    hosts[1] = std::make_unique<Host>(addresses[1]);
    hosts[1]->session.lineMode = 1;
    readBack(true);

    // Each line's log holds what was sent on that line alone.
    for (int line = 0; line < 3; ++line) {
        std::vector<std::string> sent;
        for (const Case& c : cases)
            if (c.line == line) sent.push_back(TwoDigits(c.slave) + c.set().substr(0, 4));
        for (const Case& c : cases)
            if (c.line == line) sent.push_back(TwoDigits(c.slave) + "RPH");
        std::vector<std::string> logged;
        for (const auto& entry :
             test::LogLines(test::ReadFile(dir / ("bus." + std::to_string(line + 1) + ".log"))))
            logged.push_back(entry.second);
        EXPECT_EQ(logged, sent) << "line " << line + 1;
    }
}

TEST(SignSim, ManyLinesThatCannotBeServedAreRefusedSayingWhy) {
    struct Case {
        std::string shell;  // run with the simulated sign as $0
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"exec \"$0\" --lines 2", 2,
         "kvt540m-sign-sim: --lines goes with --tcp or --rfc2217\n"
         "Try 'kvt540m-sign-sim --help'.\n"},
        // Three descriptors a line with --log, beside those open already
        // (N): beyond the hard limit of 64.
        {"ulimit -n 64 && exec \"$0\" --tcp 127.0.0.1:0 --lines 20 --log /dev/null", 1,
         "kvt540m-sign-sim: --lines 20 needs N open files, more than the limit of 64 (ulimit -n; "
         "its hard limit is 64)\n"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        test::ChildSetup setup;
        setup.configHome = dir.path();
        test::Child sim({"/bin/sh", "-c", c.shell, KVT_SIM_PATH}, dir / "out", dir / "err", setup);
        EXPECT_EQ(sim.Wait(), c.status) << c.shell;
        EXPECT_EQ(test::ReadFile(dir / "out"), "") << c.shell;
        const std::string error = test::ReadFile(dir / "err");
        EXPECT_EQ(std::regex_replace(error, std::regex("needs [0-9]+ "), "needs N "), c.error);
    }
}

}  // namespace
}  // namespace kvt
