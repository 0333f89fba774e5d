// Signs behind a network serial server: the link over TCP against the
// simulated sign listening on 127.0.0.1, connect failures, a dropped
// connection, and the traffic trace.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <sstream>
#include <thread>

#include "link/cli_runner.h"
#include "serial/reply_queue.h"
#include "serial/trace.h"
#include "session/session.h"
#include "support/recording_seam.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

const std::string kSample = std::string(KVT_TEST_DATA) + "/sample.dat";

// A listening socket on 127.0.0.1 that never accepts, with its queue full:
// a further connection attempt goes unanswered.
class DeafServer {
public:
    DeafServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), size);
        }
        std::this_thread::sleep_for(milliseconds(100));
    }
    ~DeafServer() {
        for (int filler : fillers_) ::close(filler);
        ::close(listener_);
    }
    int port() const { return port_; }

private:
    int listener_ = -1;
    int fillers_[3] = {-1, -1, -1};
    int port_ = 0;
};

// A server on 127.0.0.1 that hangs up on every connection at once.
class HangUpServer {
public:
    HangUpServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        server_ = std::thread([this] {
            for (int fd; (fd = ::accept(listener_, nullptr, nullptr)) >= 0;) ::close(fd);
        });
    }
    ~HangUpServer() {
        ::shutdown(listener_, SHUT_RDWR);  // ends the accept
        server_.join();
        ::close(listener_);
    }
    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(port_); }

private:
    int listener_ = -1;
    int port_ = 0;
    std::thread server_;
};

// A free port on 127.0.0.1 that nobody listens on.
int ClosedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

using test::RunCli;

std::vector<std::string> LogTexts(const test::Sim& sim) {
    std::vector<std::string> texts;
    for (const auto& entry : test::LogLines(sim.log())) texts.push_back(entry.second);
    return texts;
}

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
    EXPECT_EQ(LogTexts(pty).size(), 102u);
    EXPECT_EQ(LogTexts(tcp), LogTexts(pty));
    EXPECT_EQ(LogTexts(tcp6), LogTexts(pty));

    // The sign serves the next client once the first one is gone.
    test::CliResult again = RunCli(dir, {"display", "off", "--port", tcp.path()});
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST(TcpLink, ConnectFailuresNameTheHostThePortAndTheReason) {
    test::RecordingSeam seam;
    Session session{&seam};
    const int closed = ClosedPort();
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

    // What the user typed is quoted back at most 40 characters long.
    const std::string a40(40, 'a');
    const struct {
        std::string address, message;
    } refused[] = {
        {"tcp://no-port-here", "Not a network address: tcp://no-port-here (use tcp://HOST:PORT)"},
        {"tcp://" + std::string(100000, 'a'),
         "Not a network address: tcp://" + a40.substr(6) + "... (use tcp://HOST:PORT)"},
        {"tcp://" + std::string(100000, 'a') + ":1" + std::string(100000, '2'),
         "Cannot connect to " + a40 + "... port 1" + std::string(39, '2') + "...: "},
    };
    for (const auto& r : refused) {
        seam.clear();
        session.link().OpenPort(r.address);
        ASSERT_EQ(seam.texts().size(), 1u);
        EXPECT_EQ(seam.texts()[0].substr(0, r.message.size()), r.message);
        EXPECT_LT(seam.texts()[0].size(), 200u);
    }
}

// Also when the server hangs up before the tool's reader has started.
TEST(TcpLink, AServerThatHangsUpAtOnceGivesNoConnect) {
    test::TempDir dir;
    HangUpServer server;
    test::CliResult r = RunCli(dir, {"display", "on", "--port", server.address()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No Connect\n") << r.err;
}

TEST(TcpLink, ADroppedConnectionLeavesTheLinkFailedWithoutSpinning) {
    test::Sim sim({"--tcp", "127.0.0.1:0"});
    test::RecordingSeam seam;
    ReplyQueue lines;  // outlives the session, whose reader pushes into it
    Session session{&seam};
    SerialLink& link = session.link();
    link.SetConsumer([&lines](const std::string& line) { lines.Push(line); });
    link.OpenPort(sim.path());
    ASSERT_EQ(link.state(), SerialLink::State::Open) << testing::PrintToString(seam.texts());
    link.StartReadThread();
    session.SendCommand("RPH\r\n");
    std::string line;
    ASSERT_TRUE(lines.PopUntil(Clock::now() + milliseconds(2000), &line));
    EXPECT_EQ(line, "PH08\r\n");

    sim.Kill();
    const auto deadline = Clock::now() + milliseconds(2000);
    while (link.state() != SerialLink::State::Failed && Clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(10));
    ASSERT_EQ(link.state(), SerialLink::State::Failed);
    EXPECT_LT(test::CpuMicrosWhileSleeping(milliseconds(1000)), 20000L);
    session.SendCommand("PH08\r\n");  // goes nowhere, and waits for its "No Connect"
    EXPECT_EQ(session.replyPending.load(), 1);
    link.CloseLink();
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
