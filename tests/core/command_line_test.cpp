// The command lines of the three programs as GNU programs have them: help on
// standard output and exit 0, the version, and a usage error as one line
// naming the fault plus where the help is, on standard error, exit 2.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/test_paths.h"
#include "version.h"

namespace {

using kvt::test::RunTool;
using kvt::test::ToolResult;

const std::vector<std::string> kCommands = {"new",    "show",   "check",    "send",
                                            "display", "decode", "read",    "verify",
                                            "deploy", "read-all", "ports",  "export",
                                            "import", "render", "fleet"};

std::string Data(const char* name) { return std::string(KVT_TEST_DATA) + "/" + name; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The options named in the usage lines at the top of a help text (up to
// the first line that is neither a form nor a form's further line), each
// with the value it is shown with ("" for none).
std::map<std::string, std::string> SynopsisOptions(const std::string& help) {
    std::map<std::string, std::string> options;
    for (const std::string& line : Lines(help)) {
        if (line.rfind("Usage:", 0) != 0 && line.rfind("   or:", 0) != 0 && line.rfind("  ", 0) != 0)
            break;
        std::string spaced = line;
        for (char& c : spaced)
            if (c == '[' || c == ']') c = ' ';
        std::istringstream words(spaced);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        for (size_t i = 0; i < w.size(); ++i)
            if (w[i].rfind("--", 0) == 0)
                options[w[i]] = i + 1 < w.size() && w[i + 1][0] != '-' && w[i + 1] != "|"
                                    ? w[i + 1] : "";
    }
    return options;
}

// "1.34.0": three numbers with dots between them.
bool IsThreePartVersion(const std::string& version) {
    int parts = 0;
    size_t start = 0;
    for (size_t dot = 0; dot != std::string::npos; start = dot + 1, ++parts) {
        dot = version.find('.', start);
        const std::string part = version.substr(start, dot - start);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos) return false;
    }
    return parts == 3;
}

// The options a help text explains: its lines that start with "  --".
std::set<std::string> ExplainedOptions(const std::string& help) {
    std::set<std::string> options;
    for (const std::string& line : Lines(help))
        if (line.rfind("  --", 0) == 0) options.insert(line.substr(2, line.find(' ', 2) - 2));
    return options;
}

// A value each program takes for an option shown with this value name.
std::string SampleValue(const std::string& name) {
    static const std::map<std::string, std::string> values = {
        {"N", "1"}, {"MS", "0"}, {"K", "2"}, {"timed|reply", "reply"}, {"LIST", "1"},
        {"N=TEXT", "1=E1"}, {"N=FILE.dat", "1=x.dat"}, {"HOST:PORT", "127.0.0.1:0"},
        {"COMMAND", "SET-CONTROL"}};
    auto known = values.find(name);
    return known != values.end() ? known->second : "x";
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);  // no profile of the user's
        setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);  // where the lock file would go
    }
    ToolResult Cli(std::vector<std::string> args) { return RunTool(KVT_CLI_PATH, args, dir_.path()); }
    ToolResult Sim(std::vector<std::string> args) { return RunTool(KVT_SIM_PATH, args, dir_.path()); }
    ToolResult App(std::vector<std::string> args) { return RunTool(KVT_APP_PATH, args, dir_.path()); }
    std::string Path(const char* name) const { return dir_ / name; }

    kvt::test::TempDir dir_;
};

// Exit 2, nothing on standard output, and on standard error exactly one line
// "PROGRAM: ..." that names what, then the pointer to the help.
void ExpectUsageError(const ToolResult& r, const std::string& program, const std::string& what,
                      const std::string& context) {
    EXPECT_EQ(r.status, 2) << context;
    EXPECT_EQ(r.out, "") << context;
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 2u) << context << "\n" << r.err;
    EXPECT_EQ(lines[0].rfind(program + ": ", 0), 0u) << context << "\n" << r.err;
    EXPECT_NE(lines[0].find(what), std::string::npos) << context << "\n" << r.err;
    EXPECT_LT(lines[0].size(), 200u) << context;  // what the user typed is clipped
    EXPECT_EQ(lines[1], "Try '" + program + " --help'.") << context;
}

TEST_F(CommandLineTest, CliHelpShowsEveryCommandAndOption) {
    const ToolResult help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* same : {"-h", "help"}) {
        const ToolResult r = Cli({same});
        EXPECT_EQ(r.status, 0) << same;
        EXPECT_EQ(r.out, help.out) << same;
    }
    const std::set<std::string> explained = ExplainedOptions(help.out);
    for (const std::string& command : kCommands) {
        const std::string form = "\n  kvt540m-cli " + command;
        EXPECT_TRUE(help.out.find(form + " ") != std::string::npos ||
                    help.out.find(form + "\n") != std::string::npos)
            << command;
        for (const auto& option : SynopsisOptions(Cli({"help", command}).out))
            EXPECT_TRUE(explained.count(option.first)) << command << " " << option.first;
    }
    EXPECT_NE(help.out.find("\n  -h, --help "), std::string::npos);
    EXPECT_TRUE(explained.count("--version"));
}

// help COMMAND, COMMAND --help and COMMAND -h agree; the help explains every
// option of the command's usage, and the command takes each of them.
TEST_F(CommandLineTest, EachCommandHasHelpThatMatchesWhatItTakes) {
    for (const std::string& command : kCommands) {
        const ToolResult help = Cli({"help", command});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.err, "") << command;
        EXPECT_EQ((Lines(help.out)[0] + " ").rfind("Usage: kvt540m-cli " + command + " ", 0), 0u)
            << help.out;
        EXPECT_EQ(Cli({command, "--help"}).out, help.out) << command;
        EXPECT_EQ(Cli({command, "-h"}).out, help.out) << command;

        const std::set<std::string> explained = ExplainedOptions(help.out);
        for (const auto& [option, valueName] : SynopsisOptions(help.out)) {
            EXPECT_TRUE(explained.count(option)) << command << " does not explain " << option;
            std::vector<std::string> args{command, option};
            if (!valueName.empty()) args.push_back(SampleValue(valueName));
            args.push_back("--help");
            const ToolResult taken = Cli(args);
            EXPECT_EQ(taken.status, 0) << command << " " << option << ": " << taken.err;
            EXPECT_EQ(taken.out, help.out) << command << " " << option;
        }
        for (const std::string& option : explained)
            EXPECT_TRUE(SynopsisOptions(help.out).count(option))
                << command << " explains " << option << " but does not show it";
    }
}

// An option of the tool that a command does not take is a usage error
// naming the command and the option, whatever the option means elsewhere.
TEST_F(CommandLineTest, EveryCommandRefusesTheOptionsItDoesNotTake) {
    const std::set<std::string> all = ExplainedOptions(Cli({"--help"}).out);
    for (const std::string& command : kCommands) {
        const std::set<std::string> taken = ExplainedOptions(Cli({"help", command}).out);
        for (const std::string& option : all) {
            if (taken.count(option) || option == "--version") continue;
            const ToolResult r = Cli({command, "x.dat", option + "=1"});
            ExpectUsageError(r, "kvt540m-cli", command + ": unknown option " + option,
                             command + " " + option);
        }
    }
    EXPECT_NE(access(Path("x.dat").c_str(), F_OK), 0);
}

TEST_F(CommandLineTest, VersionIsTheProjectsThreePartVersion) {
    EXPECT_TRUE(IsThreePartVersion(kvt::kVersion)) << kvt::kVersion;
    EXPECT_FALSE(IsThreePartVersion("1.34"));
    const ToolResult cli = Cli({"--version"});
    EXPECT_EQ(cli.status, 0);
    EXPECT_EQ(cli.out, std::string("kvt540m-cli ") + kvt::kVersion + "\n");
    const ToolResult sim = Sim({"--version"});
    EXPECT_EQ(sim.status, 0);
    EXPECT_EQ(sim.out, std::string("kvt540m-sign-sim ") + kvt::kVersion + "\n");
}

TEST_F(CommandLineTest, CliUsageErrorsNameTheFaultInOneLine) {
    const std::string sample = Data("sample.dat");
    const std::string x(100000, 'x');
    const std::string x40 = x.substr(0, 40) + "...";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command"},
        {{"frobnicate"}, "\"frobnicate\""},
        {{"--frobnicate"}, "--frobnicate"},
        {{x}, "\"" + x40 + "\""},
        {{"--" + x}, "--" + x40.substr(2)},
        {{"show", sample, "--" + x}, "--" + x40.substr(2)},
        {{"help", x}, "\"" + x40 + "\""},
        {{"help", "frobnicate"}, "\"frobnicate\""},
        {{"help", "send", "show"}, "one command"},
        {{"new"}, "file name"},
        {{"new", "a.dat", "b.dat"}, "too many"},
        {{"send", sample, "bogus", "--dry-run"}, "\"bogus\""},
        {{"send", sample, "text", "--dry-run"}, "--page"},
        {{"send", sample, "hpos", "--page", "2", "--dry-run"}, "--page"},
        {{"send", sample, "colour", "--page", "33", "--dry-run"}, "--page"},
        {{"send", sample, "colour", "--page", "x1", "--dry-run"}, "--page"},
        {{"send", sample, "--dry-run", "--slave", "32"}, "--slave"},
        {{"send", sample, "--dry-run", "--slave"}, "--slave"},
        {{"send", sample, "--dry-run", "--verbose"}, "--verbose"},
        {{"send", sample, "--verbose", "--help"}, "--verbose"},
        {{"display", "maybe", "--dry-run"}, "on or off"},
        {{"display", "on", "--dry-run=yes"}, "--dry-run"},
        {{"decode", "out.dat", "--dry-run"}, "--dry-run"},
        {{"decode", Path("never.dat"), "--base"}, "--base"},
        {{"show", sample, "--rs485"}, "--rs485"},
        {{"render", sample, "--page", "1"}, "--out"},
        {{"export", sample}, "--texts"},
    };
    for (const auto& [args, what] : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        ExpectUsageError(Cli(args), "kvt540m-cli", what, joined);
    }
    EXPECT_NE(access(Path("never.dat").c_str(), F_OK), 0);
}

// The simulated sign: the help explains every option and the parser takes
// each option the help explains.
TEST_F(CommandLineTest, SignSimulatorHelpAndUsageErrors) {
    const ToolResult help = Sim({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: kvt540m-sign-sim ", 0), 0u);
    EXPECT_EQ(Sim({"-h"}).out, help.out);
    int options = 0;
    for (const std::string& line : Lines(help.out)) {
        // "  --name VALUE  text" or "  --name  text"
        if (line.rfind("  --", 0) != 0) continue;
        const size_t end = line.find(' ', 2);
        const std::string name = line.substr(2, end - 2);
        if (name == "--help" || name == "--version") continue;
        ++options;
        std::vector<std::string> args{name};
        if (end + 1 < line.size() && std::isupper(static_cast<unsigned char>(line[end + 1])))
            args.push_back(SampleValue(line.substr(end + 1, line.find(' ', end + 1) - end - 1)));
        args.push_back("--help");
        const ToolResult r = Sim(args);
        EXPECT_EQ(r.status, 0) << line << ": " << r.err;
        EXPECT_EQ(r.out, help.out) << line;
    }
    EXPECT_GE(options, 14);

    ExpectUsageError(Sim({"--frobnicate"}), "kvt540m-sign-sim", "--frobnicate", "unknown");
    ExpectUsageError(Sim({"--log"}), "kvt540m-sign-sim", "--log", "no value");
    ExpectUsageError(Sim({"--slave", "1"}), "kvt540m-sign-sim", "--rs485", "no --rs485");
    const ToolResult longList = Sim({"--rs485", "--slave", std::string(100000, '1')});
    ExpectUsageError(longList, "kvt540m-sign-sim", "--slave needs slave numbers 0..99", "long list");
    EXPECT_LT(longList.err.size(), 200u);
    const ToolResult longArgument = Sim({std::string(100000, 'x')});
    ExpectUsageError(longArgument, "kvt540m-sign-sim", std::string(40, 'x') + "...", "argument");
}

// The window program answers --help and --version without a display and
// without taking the one-copy lock; a usage error likewise opens nothing.
TEST_F(CommandLineTest, WindowProgramAnswersWithoutADisplay) {
    if (std::string(KVT_APP_PATH).empty()) GTEST_SKIP() << "no window program in this build";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");

    const ToolResult help = App({"--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--help"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("[FILE.dat]"), std::string::npos) << help.out;
    EXPECT_EQ(App({"-h"}).out, help.out);

    const std::string version = std::string("kvt540m ") + kvt::kVersion + "\n";
    EXPECT_EQ(App({"--version"}).out, version);
    // Qt's own options are not refused.
    const ToolResult withQtOption = App({"-platform", "offscreen", "--version"});
    EXPECT_EQ(withQtOption.status, 0) << withQtOption.err;
    EXPECT_EQ(withQtOption.out, version);

    ExpectUsageError(App({"--frobnicate"}), "kvt540m", "frobnicate", "unknown option");
    ExpectUsageError(App({"one.dat", "two.dat"}), "kvt540m", "two.dat", "argument");
    ExpectUsageError(App({"--fleet"}), "kvt540m", "--fleet", "a sheet missing");
    EXPECT_NE(access(Path("KVT540M_Instance.lock").c_str(), F_OK), 0) << "the lock was taken";
}

}  // namespace
