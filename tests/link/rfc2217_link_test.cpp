// Signs behind a network serial server in RFC 2217 mode: the tool against
// the simulated sign's RFC 2217 server (which slips Telnet into replies,
// refuses the option, or leaves a setting unconfirmed), and the transport
// against servers that misbehave and against one that takes little at a
// time.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cstring>
#include <mutex>
#include <thread>

#include "link/cli_runner.h"
#include "serial/reply_queue.h"
#include "serial/rfc2217_transport.h"
#include "serial/telnet_codec.h"
#include "session/session.h"
#include "support/recording_seam.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

using test::kSample;
const std::vector<std::string> kAsked = {
    "asked SET-BAUDRATE 38400", "asked SET-DATASIZE 8", "asked SET-CONTROL 3",
    "asked SET-PARITY 3",       "asked SET-STOPSIZE 1", "asked PURGE-DATA 3",
};

// The lines of the simulated sign's --stats that start with "asked", in
// the order of kAsked.
std::vector<std::string> Asked(const std::string& stats) {
    std::vector<std::string> found;
    for (const std::string& line : kAsked)
        if (stats.find(line + "\n") != std::string::npos) found.push_back(line);
    return found;
}

TEST(Rfc2217Link, TheToolSetsTheLineAndEveryByteCrossesUnchanged) {
    test::TempDir dir;
    test::Sim pty({});
    test::Sim server({"--rfc2217", "127.0.0.1:0", "--rfc2217-chatter", "--stats"});
    ASSERT_EQ(server.path().rfind("rfc2217://127.0.0.1:", 0), 0u) << server.path();
    for (const test::Sim* sim : {&pty, &server}) {
        test::CliResult r =
            test::RunCli(dir, {"send", kSample, "--port", sim->path(), "--pace", "reply", "--gap", "0"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "Success\n");
    }
    EXPECT_EQ(test::LogTexts(server), test::LogTexts(pty));
    ASSERT_EQ(test::LogTexts(server).size(), 102u);
    // The read-back replies, with Telnet in each, decode as on a pty.
    test::CliResult verify = test::RunCli(dir, {"verify", kSample, "--port", server.path(), "--pace", "reply"});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(Asked(server.printed()), kAsked);
}

TEST(Rfc2217Link, AnUnconfirmedSettingIsNamedInOneBoxAndTheLinkGoesOn) {
    // 0xFF both ways: doubled by the tool, by the server, undoubled by both.
    test::Sim sim({"--rfc2217", "127.0.0.1:0", "--rfc2217-no-ack", "SET-CONTROL", "--reply", "1=\xFFGO"});
    test::RecordingSeam seam;
    ReplyQueue lines;
    Session session{&seam};
    session.link().SetConsumer([&lines](const std::string& line) { lines.Push(line); });
    const auto start = Clock::now();
    session.link().OpenPort(sim.path());
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(Rfc2217Transport::kAnswerWaitMs));
    EXPECT_LT(took, milliseconds(Rfc2217Transport::kAnswerWaitMs + 300));
    const std::string where = "127.0.0.1 port " + sim.path().substr(sim.path().rfind(':') + 1);
    EXPECT_EQ(seam.texts(), std::vector<std::string>{"The serial server at " + where +
                                                     " did not confirm hardware flow control "
                                                     "(no answer); the link goes on"});
    ASSERT_EQ(session.link().state(), SerialLink::State::Open);
    session.link().StartReadThread();
    session.SendCommand("\xFFX\r\n");
    std::string line;
    ASSERT_TRUE(lines.PopUntil(Clock::now() + milliseconds(2000), &line));
    EXPECT_EQ(line, "\xFFGO\r\n");
    session.link().CloseLink();
    EXPECT_EQ(test::LogTexts(sim), std::vector<std::string>{"\\xFFX"});
}

TEST(Rfc2217Link, AServerThatRefusesTheOptionGetsOneMessageAndItsOwnSettingsApply) {
    test::TempDir dir;
    test::Sim sim({"--rfc2217", "127.0.0.1:0", "--rfc2217-refuse", "--stats"});
    test::CliResult r = test::RunCli(dir, {"display", "on", "--port", sim.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Success\n");
    const std::string where = "127.0.0.1 port " + sim.path().substr(sim.path().rfind(':') + 1);
    EXPECT_EQ(r.err, "The serial server at " + where +
                         " refuses RFC 2217 (COM-PORT-OPTION): its own line settings apply\n");
    EXPECT_LT(r.seconds, 0.5);  // a refusal is not waited out
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(Asked(sim.printed()), std::vector<std::string>{});
}

// A server on 127.0.0.1 for one client: it sends the greeting, then closes
// at once or reads what comes (slowly: a little at a time, with pauses).
class ScriptedServer {
public:
    enum class Then { Close, Read, ReadSlowly };
    explicit ScriptedServer(std::string greeting, Then then = Then::Read)
        : greeting_(std::move(greeting)), then_(then) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        int small = 4096;  // a small window, so that the client's writes fill it
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedServer() {
        thread_.join();
        ::close(listener_);
    }
    std::string address() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }
    std::string where() const { return "127.0.0.1 port " + std::to_string(port_); }
    // What the client sent, Telnet taken out; complete once it closed.
    std::string data() {
        std::lock_guard<std::mutex> lock(mutex_);
        return data_;
    }
    // Sends more to the client, once it is connected.
    void Send(const std::string& bytes) {
        for (int i = 0; i < 2000 && client_ < 0; ++i) std::this_thread::sleep_for(milliseconds(1));
        (void)!::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

private:
    void Serve() {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return;
        client_ = client;
        (void)!::send(client, greeting_.data(), greeting_.size(), MSG_NOSIGNAL);
        telnet::Decoder decoder;
        std::vector<telnet::Event> events;
        char chunk[4096];
        const size_t size = then_ == Then::ReadSlowly ? 777 : sizeof chunk;
        ssize_t n;
        while (then_ != Then::Close && (n = ::read(client, chunk, size)) > 0) {
            const size_t got = decoder.Decode(chunk, size_t(n), chunk, &events);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                data_.append(chunk, got);
            }
            if (then_ == Then::ReadSlowly) std::this_thread::sleep_for(milliseconds(1));
        }
        ::close(client);
    }

    std::string greeting_;
    Then then_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> client_{-1};
    std::mutex mutex_;
    std::string data_;
    std::thread thread_;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

TEST(Rfc2217Transport, ServersThatMisbehaveEndOpenWithinItsBoundWithOneMessage) {
    constexpr int kWaitMs = 200;
    using namespace telnet;
    const std::string agree = Bytes({kIac, kDo, kComPort});
    const struct {
        const char* what;
        std::string greeting;
        ScriptedServer::Then then;
        bool opens;
        std::string message;  // after "The serial server at HOST port PORT"
    } cases[] = {
        {"closes at once", "", ScriptedServer::Then::Close, false, " ended the connection"},
        {"stays silent", "", ScriptedServer::Then::Read, true,
         " did not answer for RFC 2217 (COM-PORT-OPTION) within 200 ms: its own line settings apply"},
        {"never ends a subnegotiation", agree + Bytes({kIac, kSb, kComPort, 101}) + std::string(64, 'x'),
         ScriptedServer::Then::Read, true,
         " did not confirm 38400 bit/s (no answer), 8 data bits (no answer), even parity (no answer), "
         "1 stop bit (no answer), hardware flow control (no answer), purging both buffers (no "
         "answer); the link goes on"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(c.greeting, c.then);
        std::vector<std::string> messages;
        Rfc2217Transport transport(server.address(), kWaitMs);
        const auto start = Clock::now();
        EXPECT_EQ(transport.Open([&](const std::string& text) { messages.push_back(text); }), c.opens);
        EXPECT_LT(Clock::now() - start, milliseconds(kWaitMs + 200));
        EXPECT_EQ(messages, std::vector<std::string>{"The serial server at " + server.where() + c.message});
    }
}

// A server's greeting that agrees to COM-PORT-OPTION and confirms every
// setting.
std::string Agreeing() {
    using namespace telnet;
    std::string confirmations;
    for (const std::string& body : {Bytes({101, 0, 0, 0x96, 0}), Bytes({102, 8}), Bytes({103, 3}),
                                    Bytes({104, 1}), Bytes({105, 3}), Bytes({112, 3})})
        confirmations += Bytes({kIac, kSb, kComPort}) + body + Bytes({kIac, kSe});
    return Bytes({kIac, kDo, kComPort}) + confirmations;
}

// FLOWCONTROL-SUSPEND holds our data, FLOWCONTROL-RESUME lets it go.
TEST(Rfc2217Transport, DataWaitsWhileTheServerHasSuspendedIt) {
    using namespace telnet;
    auto flow = [](int command) { return Bytes({kIac, kSb, kComPort, command, kIac, kSe}); };
    ScriptedServer server(Agreeing() + flow(108));
    Rfc2217Transport transport(server.address(), 1000);
    ASSERT_TRUE(transport.Open([](const std::string& text) { ADD_FAILURE() << text; }));
    char chunk[64];
    for (int i = 0; i < 200 && !transport.suspended(); ++i) {
        pollfd in{transport.fd(), POLLIN, 0};
        if (::poll(&in, 1, 10) == 1) transport.Read(chunk, sizeof chunk);
    }
    ASSERT_TRUE(transport.suspended());
    EXPECT_EQ(transport.Write("PH08\r\n", 6), 6);
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(server.data(), "") << "sent while suspended";
    server.Send(flow(109));
    for (int i = 0; i < 200 && transport.suspended(); ++i) {
        pollfd in{transport.fd(), POLLIN, 0};
        if (::poll(&in, 1, 10) == 1) transport.Read(chunk, sizeof chunk);
    }
    for (int i = 0; i < 200 && server.data().empty(); ++i) std::this_thread::sleep_for(milliseconds(5));
    EXPECT_EQ(server.data(), "PH08\r\n");
}

TEST(Rfc2217Transport, Each0xFFGoesOutDoubledWhateverTheConnectionTakesAtATime) {
    // A server that agrees and confirms everything at once, then reads
    // little at a time through small buffers, so that writes are cut
    // anywhere, also between the halves of a doubled 0xFF.
    ScriptedServer server(Agreeing(), ScriptedServer::Then::ReadSlowly);
    std::string data;
    for (int i = 0; i < 60000; ++i) data += static_cast<char>(i % 3 == 0 ? 'a' + i % 26 : 0xFF);
    data += "\r\n";
    int waits = 0;  // times the connection took nothing more
    {
        Rfc2217Transport transport(server.address(), 1000);
        ASSERT_TRUE(transport.Open([](const std::string& text) { ADD_FAILURE() << text; }));
        int small = 4096;
        ::setsockopt(transport.fd(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        for (size_t done = 0; done < data.size();) {
            const ssize_t n = transport.Write(data.data() + done, data.size() - done);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            ASSERT_TRUE(n < 0 && errno == EAGAIN) << std::strerror(errno);
            ++waits;
            pollfd out{transport.fd(), POLLOUT, 0};
            ASSERT_EQ(::poll(&out, 1, 2000), 1);
        }
    }
    EXPECT_GT(waits, 0);
    for (auto end = Clock::now() + milliseconds(5000); Clock::now() < end && server.data().size() < data.size();)
        std::this_thread::sleep_for(milliseconds(10));
    const std::string got = server.data();
    EXPECT_EQ(got.size(), data.size());
    EXPECT_TRUE(got == data);
}

}  // namespace
}  // namespace kvt
