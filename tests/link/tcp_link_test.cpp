// Signs behind a network serial server: the link over TCP against the
// simulated sign listening on 127.0.0.1, connect failures, addresses that
// are none, a dropped connection and one that goes silent, and the traffic
// trace.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <cstring>
#include <sstream>
#include <thread>

#include "link/cli_runner.h"
#include "link/loopback.h"
#include "loop/event_loop.h"
#include "serial/reply_queue.h"
#include "serial/tcp_connector.h"
#include "serial/tcp_transport.h"
#include "serial/trace.h"
#include "session/session.h"
#include "support/recording_seam.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

using test::kSample;

using test::DeafServer;
using test::RunCli;

TEST(TcpLink, TheToolReachesASignOverTcpWithTheSameBytesAsOnAPty) {
    test::TempDir dir;
    test::Sim pty({});
    test::Sim tcp({"--tcp", "127.0.0.1:0"});
    test::Sim tcp6({"--tcp", "[::1]:0"});  // an IPv6 address holds colons of its own
    ASSERT_EQ(tcp.path().rfind("tcp://127.0.0.1:", 0), 0u) << tcp.path();
    ASSERT_EQ(tcp6.path().rfind("tcp://[::1]:", 0), 0u) << tcp6.path();
    for (const test::Sim* sim : {&pty, &tcp, &tcp6}) {
        test::CliResult r = RunCli(dir, {"send", kSample, "--port", sim->path(), "--pace", "reply", "--gap", "0"});
        EXPECT_EQ(r.status, 0) << sim->path() << r.err;
        EXPECT_EQ(r.out, "Success\n");
    }
    EXPECT_EQ(test::LogTexts(pty).size(), 102u);
    EXPECT_EQ(test::LogTexts(tcp), test::LogTexts(pty));
    EXPECT_EQ(test::LogTexts(tcp6), test::LogTexts(pty));

    // The sign serves the next client once the first one is gone.
    test::CliResult again = RunCli(dir, {"display", "off", "--port", tcp.path()});
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST(TcpLink, ConnectFailuresNameTheHostThePortAndTheReason) {
    test::RecordingSeam seam;
    Session session{&seam};
    const int closed = test::FreeLoopbackPort();
    session.link().OpenPort("tcp://127.0.0.1:" + std::to_string(closed));
    EXPECT_EQ(session.link().state(), SerialLink::State::Failed);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Cannot connect to 127.0.0.1 port " +
                                                     std::to_string(closed) + ": Connection refused"});
    EXPECT_EQ(seam.boxes()[0].caption, "Error");

    seam.clear();
    DeafServer deaf;
    const auto start = Clock::now();
    session.link().OpenPort("tcp://127.0.0.1:" + std::to_string(deaf.port()));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(2900));
    EXPECT_LT(took, milliseconds(3500));
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"Cannot connect to 127.0.0.1 port " +
                                                     std::to_string(deaf.port()) +
                                                     ": no answer within 3 s"});

    // A long host is quoted back at most 40 characters long.
    seam.clear();
    session.link().OpenPort("tcp://" + std::string(100000, 'a') + ":1");
    ASSERT_EQ(seam.texts().size(), 1u);
    const std::string cut = "Cannot connect to " + std::string(40, 'a') + "... port 1: ";
    EXPECT_EQ(seam.texts()[0].substr(0, cut.size()), cut);
    EXPECT_LT(seam.texts()[0].size(), 200u);
}

// A host's addresses, tried 250 ms apart: an address that swallows the
// connect or refuses it costs at most that head start, and the first
// connection made is the one kept.
TEST(TcpLink, AHostsDeadFirstAddressCostsOnlyItsHeadStart) {
    DeafServer deaf;
    test::LoopbackListener live(8);
    auto address = [](int port) {
        SocketAddress a;
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        in.sin_port = htons(static_cast<uint16_t>(port));
        std::memcpy(&a.address, &in, sizeof in);
        a.size = sizeof in;
        a.family = AF_INET;
        return a;
    };
    const struct {
        const char* what;
        int first;
        Millis within;
    } cases[] = {
        {"swallows", deaf.port(), 250 + 150},
        {"refuses", test::FreeLoopbackPort(), 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EventLoop loop;
        TcpConnector connector(loop, 3000);
        int fd = -1;
        bool done = false;
        connector.Start({address(c.first), address(live.port())}, [&](int connected, int) {
            fd = connected;
            done = true;
        });
        const Millis start = loop.Now();
        loop.RunUntil([&] { return done; }, start + 3500, nullptr);
        EXPECT_LT(loop.Now() - start, c.within);
        ASSERT_GE(fd, 0);
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size);
        EXPECT_EQ(ntohs(peer.sin_port), live.port());
        EXPECT_EQ(loop.watched(), 0u) << "the losing attempt is closed";
        ::close(fd);
    }
}

TEST(TcpLink, AnAddressThatIsNoneSaysWhatIsWrongWithIt) {
    const struct {
        std::string address, message;
    } cases[] = {
        {"tcp://no-port-here", "No port in the address \"tcp://no-port-here\" (use tcp://HOST:PORT)"},
        {"rfc2217://[::1]", "No port in the address \"rfc2217://[::1]\" (use rfc2217://HOST:PORT)"},
        {"rfc2217://:4001", "No host in the address \"rfc2217://:4001\" (use rfc2217://HOST:PORT)"},
        {"tcp://host:0", "The port in the address \"tcp://host:0\" is not a number from 1 to 65535"},
        {"tcp://host:65536", "The port in the address \"tcp://host:65536\" is not a number from 1 to 65535"},
        {"tcp://host:40x1", "The port in the address \"tcp://host:40x1\" is not a number from 1 to 65535"},
        {"xyz://host:1",
         "Unknown kind of address \"xyz://host:1\" (use tcp://HOST:PORT or rfc2217://HOST:PORT)"},
        // What was typed is quoted back at most 40 characters long.
        {"tcp://" + std::string(100000, 'a'),
         "No port in the address \"tcp://" + std::string(34, 'a') + "...\" (use tcp://HOST:PORT)"},
    };
    for (const auto& c : cases) {
        test::RecordingSeam seam;
        Session session{&seam};
        session.link().OpenPort(c.address);
        EXPECT_EQ(seam.texts(), std::vector<std::string>{c.message}) << c.address;
        EXPECT_EQ(session.link().state(), SerialLink::State::Failed);
    }
}

// A server that hangs up at once: the command goes on and ends in No
// Connect as after any drop, whether the hang-up is there before the tool's
// reader starts (here it comes with the one answer that ends the opening, a
// refusal of RFC 2217) or comes after it (after the first command).
TEST(TcpLink, AServerThatHangsUpAtOnceGivesNoConnect) {
    const struct {
        std::string scheme, lastWords;
    } cases[] = {{"rfc2217", "\xFF\xFE\x2C"}, {"tcp", ""}};
    for (const auto& c : cases) {
        test::TempDir dir;
        test::HangUpServer server(c.lastWords);
        test::CliResult r = RunCli(dir, {"display", "on", "--port", server.address(c.scheme)});
        EXPECT_EQ(r.status, 1) << c.scheme;
        EXPECT_EQ(r.out, "No Connect\n") << c.scheme << ": " << r.err;
    }
}

TEST(NetworkLink, ADroppedConnectionFailsWithoutSpinningAndConnectsAgainAtTheNextCommand) {
    for (const std::string option : {"--tcp", "--rfc2217"}) {
        SCOPED_TRACE(option);
        auto sim = std::make_unique<test::Sim>(std::vector<std::string>{option, "127.0.0.1:0"});
        const std::string address = sim->path();
        test::RecordingSeam seam;
        ReplyQueue lines;  // outlives the session, whose reader pushes into it
        Session session{&seam};
        SerialLink& link = session.link();
        link.SetConsumer([&lines](const std::string& line) { lines.Push(line); });
        link.OpenPort(address);
        ASSERT_EQ(link.state(), SerialLink::State::Open) << testing::PrintToString(seam.texts());
        link.StartReadThread();
        auto answer = [&](milliseconds within) {
            session.SendCommand("RPH\r\n");
            std::string line;
            return lines.PopUntil(Clock::now() + within, &line) ? line : "<none>";
        };
        EXPECT_EQ(answer(milliseconds(2000)), "PH08\r\n");

        sim->Kill();
        const auto deadline = Clock::now() + milliseconds(2000);
        while (link.state() != SerialLink::State::Failed && Clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(10));
        ASSERT_EQ(link.state(), SerialLink::State::Failed);
        if (option == "--tcp") {
            EXPECT_LT(test::CpuMicrosWhileSleeping(milliseconds(1000)), 20000L);
        }
        // While the server is away, each command tries once and goes nowhere.
        EXPECT_EQ(answer(milliseconds(200)), "<none>");
        EXPECT_EQ(session.replyPending.load(), 1);
        EXPECT_EQ(link.state(), SerialLink::State::Failed);

        // Back on its port: the next command connects again and is answered.
        sim = std::make_unique<test::Sim>(
            std::vector<std::string>{option, "127.0.0.1:" + address.substr(address.rfind(':') + 1)});
        EXPECT_EQ(answer(milliseconds(2000)), "PH08\r\n");
        EXPECT_EQ(link.state(), SerialLink::State::Open);
        EXPECT_EQ(seam.texts(), std::vector<std::string>{});
        link.CloseLink();
    }
}

TEST(NetworkLink, ASilentServerIsGivenUpWithinHalfAMinute) {
    test::Sim sim({"--tcp", "127.0.0.1:0"});
    TcpTransport tcp(sim.path());
    ASSERT_TRUE(tcp.Open([](const std::string& text) { ADD_FAILURE() << text; }));
    int keepAlive = 0, idle = 0, interval = 0, probes = 0;
    unsigned int userTimeoutMs = 0;
    socklen_t size = sizeof(int);
    ::getsockopt(tcp.fd(), SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &size);
    ::getsockopt(tcp.fd(), IPPROTO_TCP, TCP_KEEPIDLE, &idle, &size);
    ::getsockopt(tcp.fd(), IPPROTO_TCP, TCP_KEEPINTVL, &interval, &size);
    ::getsockopt(tcp.fd(), IPPROTO_TCP, TCP_KEEPCNT, &probes, &size);
    ::getsockopt(tcp.fd(), IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, &size);
    // Probes while idle, and data left unacknowledged, both end the
    // connection within 30 s.
    EXPECT_EQ(keepAlive, 1);
    EXPECT_GT(probes, 0);
    EXPECT_LE(idle + probes * interval, 30);
    EXPECT_GT(userTimeoutMs, 0u);
    EXPECT_LE(userTimeoutMs, 30000u);
}

TEST(Trace, LinesAreStampedDirectedAndEscaped) {
    EXPECT_EQ(Trace::Escape(std::string("PH08\r\n\\\x11\xFF", 9)), "PH08\\r\\n\\\\\\x11\\xFF");

    test::TempDir dir;
    test::Sim sim({"--tcp", "127.0.0.1:0"});
    test::CliResult r = RunCli(dir, {"send", kSample, "vpos", "--port", sim.path(), "--trace", dir / "t.log"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunCli(dir, {"display", "on", "--port", sim.path(), "--trace", dir / "t.log"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Each line: monotonic seconds with milliseconds, direction, port, bytes.
    std::istringstream trace(test::ReadFile(dir / "t.log"));
    std::vector<std::string> rest;
    double last = 0;
    for (std::string line; std::getline(trace, line);) {
        const size_t space = line.find(' ');
        ASSERT_NE(space, std::string::npos) << line;
        const std::string stamp = line.substr(0, space);
        ASSERT_EQ(stamp.size() - stamp.find('.'), 4u) << line;
        EXPECT_GE(std::stod(stamp), last);
        last = std::stod(stamp);
        rest.push_back(line.substr(space + 1));
    }
    const std::string port = sim.path();
    EXPECT_EQ(rest, (std::vector<std::string>{"> " + port + " PV08\\r\\n", "< " + port + " GO\\r\\n",
                                              "> " + port + " IDON\\r\\n", "< " + port + " GO\\r\\n"}));

    // A trace that cannot be written is reported once; the command goes on.
    r = RunCli(dir, {"display", "on", "--port", sim.path(), "--trace", dir / "no/such/dir/t.log"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Success\n");
    EXPECT_EQ(r.err, "kvt540m-cli: Cannot write the trace " + (dir / "no/such/dir/t.log") +
                         ": No such file or directory; tracing stops.\n");
}

}  // namespace
}  // namespace kvt
