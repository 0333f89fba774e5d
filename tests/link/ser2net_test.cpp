// The tool through a real network serial server: ser2net on 127.0.0.1, in
// front of the simulated sign's pseudo-terminal, in raw TCP mode and in
// RFC 2217 mode with a wrong default speed.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <fstream>

#include "link/cli_runner.h"
#include "link/loopback.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

using test::Clock;
using test::milliseconds;

using test::kSample;

// Where ser2net is installed; "" when it is not.
std::string FindSer2net() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"})
        if (::access(path, X_OK) == 0) return path;
    return "";
}

// Whether something listens on 127.0.0.1:port, from the kernel's table
// (connecting to ask would open the server's serial device).
bool Listening(int port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    for (std::string line; std::getline(table, line);)
        if (line.find(local) != std::string::npos && line.find(" 0A ") != std::string::npos) return true;
    return false;
}

// ser2net with a configuration of its own: one port in RFC 2217 mode whose
// default line is 9600 bit/s without parity (the client must set it), one
// in raw TCP mode set to the sign's line.
class Ser2net {
public:
    Ser2net(const std::string& binary, const std::string& device)
        : rfc2217Port_(test::FreeLoopbackPort()), rawPort_(test::FreeLoopbackPort()) {
        const std::string config = dir_ / "ser2net.yaml";
        std::ofstream(config) << "connection: &rfc2217\n"
                              << "    accepter: telnet(rfc2217),tcp,127.0.0.1," << rfc2217Port_ << "\n"
                              << "    connector: serialdev," << device << ",9600n81,local\n"
                              << "connection: &raw\n"
                              << "    accepter: tcp,127.0.0.1," << rawPort_ << "\n"
                              << "    connector: serialdev," << device << ",38400e81,local\n";
        child_ = std::make_unique<test::Child>(std::vector<std::string>{binary, "-n", "-u", "-c", config},
                                               dir_ / "out", dir_ / "err",
                                               test::ChildSetup{"/dev/null", dir_.path()});
        for (auto end = Clock::now() + milliseconds(5000); Clock::now() < end;
             std::this_thread::sleep_for(milliseconds(20)))
            if (Listening(rfc2217Port_) && Listening(rawPort_)) return;
        throw std::runtime_error("ser2net did not start: " + test::ReadFile(dir_ / "err"));
    }
    std::string rfc2217() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port_); }
    std::string raw() const { return "tcp://127.0.0.1:" + std::to_string(rawPort_); }

private:
    test::TempDir dir_;
    int rfc2217Port_;
    int rawPort_;
    std::unique_ptr<test::Child> child_;
};

TEST(Ser2net, WholeRunsGetThroughBothModesAndTheToolSetsTheLineTo38400) {
    const std::string binary = FindSer2net();
    if (binary.empty()) {
        // Installed by scripts/deps.sh: where the tests must all run, its
        // absence is a failure.
        if (std::getenv("CI")) FAIL() << "ser2net is not installed (scripts/deps.sh installs it)";
        GTEST_SKIP() << "ser2net is not installed: apt-get install ser2net";
    }
    test::Sim sign({"--stats"});
    Ser2net server(binary, sign.path());
    test::TempDir dir;
    for (const std::string& port : {server.raw(), server.rfc2217()}) {
        test::CliResult r = test::RunCli(dir, {"send", kSample, "--port", port, "--pace", "reply", "--gap", "0"});
        EXPECT_EQ(r.status, 0) << port << ": " << r.err;
        EXPECT_EQ(r.out, "Success\n") << port;
        EXPECT_EQ(r.err.find("serial server"), std::string::npos) << r.err;  // every setting confirmed
    }
    test::CliResult verify = test::RunCli(dir, {"verify", kSample, "--port", server.rfc2217(), "--pace", "reply", "--gap", "0"});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;

    // Both runs carried the same 102 lines; the read-back came last, on the
    // line as the tool set it.
    const auto log = test::LogLines(sign.log());
    ASSERT_EQ(log.size(), 3 * 102u);
    for (size_t i = 0; i < 102; ++i) ASSERT_EQ(log[i].second, log[102 + i].second) << i;
    EXPECT_EQ(sign.Stop(), 0);
    EXPECT_NE(sign.printed().find("\nline speed at the last line: 38400 bit/s\n"), std::string::npos)
        << sign.printed();
}

}  // namespace
}  // namespace kvt
