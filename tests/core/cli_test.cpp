// The command-line tool as scripts use it: the built binary, its exit
// statuses, and the exact bytes on its standard output and error.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/all_items.h"
#include "support/child.h"
#include "support/test_paths.h"

namespace {

using Result = kvt::test::ToolResult;

using kvt::test::ReadFile;
using kvt::test::WriteFile;

std::string Data(const char* name) { return std::string(KVT_TEST_DATA) + "/" + name; }

int CountOf(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The profile must not matter to anything tested here.
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    }
    std::string Path(const char* name) const { return dir_ / name; }

    struct RunOptions {
        std::string input;          // standard input
        std::string stdinPath;      // or standard input from this file
        long fileLimit = -1;        // bytes the tool may write to a file
        bool ignoreSizeSignal = true;  // SIGXFSZ ignored, as a shell may leave it
    };

    // Runs the tool with the given arguments and standard input; fileLimit
    // (bytes) caps the size of files it may write, with SIGXFSZ ignored.
    Result Run(std::vector<std::string> args, const std::string& input = "",
               long fileLimit = -1) {
        RunOptions options;
        options.input = input;
        options.fileLimit = fileLimit;
        return RunWith(std::move(args), options);
    }

    Result RunWith(std::vector<std::string> args, const RunOptions& options) {
        WriteFile(Path(".in"), options.input);
        kvt::test::ChildSetup setup;
        setup.in = options.stdinPath.empty() ? Path(".in") : options.stdinPath;
        setup.fileLimit = options.fileLimit;
        setup.ignoreSizeSignal = options.ignoreSizeSignal;
        return kvt::test::RunTool(KVT_CLI_PATH, args, dir_.path(), setup);
    }

    kvt::test::TempDir dir_;
};

TEST_F(CliTest, FilesThatCannotBeReadOrWritten) {
    for (const char* command : {"show", "check"}) {
        Result r = Run({command, Path("missing.dat")});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "Can't file open\n") << command;
        EXPECT_EQ(r.out, "") << command;
    }
    Result r = Run({"send", Path("missing.dat"), "hpos", "--dry-run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Can't file open\n");

    EXPECT_EQ(Run({"new", Path("no/such/folder.dat")}).err, "Can't file open\n");
    r = Run({"decode", Path("x.dat"), "--base", Path("missing.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't file open\n");
    EXPECT_NE(access(Path("x.dat").c_str(), F_OK), 0);
}

TEST_F(CliTest, FailedWriteReportsAndKeepsTheOldFile) {
    WriteFile(Path("old.dat"), "old\r\n");
    Result r = Run({"new", Path("old.dat")}, "", 1000);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't file write\n");
    EXPECT_EQ(ReadFile(Path("old.dat")), "old\r\n");

    r = Run({"new", Path("old.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    std::string file = ReadFile(Path("old.dat"));
    EXPECT_EQ(CountOf(file, "\r\n"), 996);
    EXPECT_EQ(file.substr(0, 6), "7\r\n7\r\n");
    EXPECT_EQ(file.substr(file.size() - 6), "s\r\ns\r\n");
}

// With SIGXFSZ at its default a file-size limit would kill the tool half-way
// through a save and leave its temporary file; it fails cleanly instead.
TEST_F(CliTest, FileSizeLimitWithTheSignalAtItsDefaultFailsCleanly) {
    WriteFile(Path("old.dat"), "old\r\n");
    RunOptions limited;
    limited.fileLimit = 1000;
    limited.ignoreSizeSignal = false;
    Result r = RunWith({"new", Path("old.dat")}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't file write\n");
    EXPECT_EQ(ReadFile(Path("old.dat")), "old\r\n");
    std::string leftovers;
    DIR* d = opendir(dir_.path().c_str());
    while (dirent* e = readdir(d))
        if (std::string(e->d_name).rfind(".kvt540m-save-", 0) == 0) leftovers += e->d_name;
    closedir(d);
    EXPECT_EQ(leftovers, "");

    r = RunWith({"send", Data("sample.dat"), "--dry-run"}, limited);
    EXPECT_EQ(r.status, 1);  // standard output is a file that cannot grow
    EXPECT_EQ(r.err, "kvt540m-cli: cannot write standard output\n");
}

// Settings files and reply streams beyond 1 MiB are refused before they can
// use up memory; a FIFO is still read.
TEST_F(CliTest, InputBeyondOneMebibyteIsRefused) {
    const std::string limit = " is larger than 1 MiB (1048576 bytes)";
    std::string big = ReadFile(Data("sample.dat"));
    big.resize(1048577, ' ');
    WriteFile(Path("big.dat"), big);
    for (const std::string& file : {Path("big.dat"), std::string("/dev/zero")}) {
        Result r = Run({"show", file});
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Can't file open: " + file + limit + "\n");
    }
    Result r = Run({"decode", Path("out.dat"), "--base", Path("big.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't file open: " + Path("big.dat") + limit + "\n");

    // Reply lines, empty lines (which change nothing) filling up to the limit.
    std::string replies = "PH11\r\nPV03\r\n";
    replies.resize(1048577, '\n');
    r = Run({"decode", Path("out.dat")}, replies);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kvt540m-cli: standard input" + limit + "; " + Path("out.dat") +
                         " not written\n");
    RunOptions zeros;
    zeros.stdinPath = "/dev/zero";
    EXPECT_EQ(RunWith({"decode", Path("out.dat")}, zeros).err, r.err);
    EXPECT_NE(access(Path("out.dat").c_str(), F_OK), 0);

    replies.pop_back();
    r = Run({"decode", Path("out.dat")}, replies);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Run({"show", Path("out.dat")}).out.find("H position: 11\nV position: 3\n"),
              std::string::npos);

    ASSERT_EQ(mkfifo(Path("fifo.dat").c_str(), 0600), 0);
    std::thread writer([&] { WriteFile(Path("fifo.dat"), ReadFile(Data("sample.dat"))); });
    r = Run({"show", Path("fifo.dat")});
    writer.join();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Run({"show", Data("sample.dat")}).out);
}

TEST_F(CliTest, DryRunWritesExactlyTheWireBytes) {
    const std::string sample = Data("sample.dat");
    auto dry = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"send", sample});
        args.push_back("--dry-run");
        Result r = Run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        return r.out;
    };
    EXPECT_EQ(dry({"hpos"}), "PH08\r\n");
    EXPECT_EQ(dry({"vpos", "--rs485"}), "00PV08\r\n");
    EXPECT_EQ(dry({"page", "--rs485", "--slave", "31"}), "31PAS\r\n");
    EXPECT_EQ(dry({"fill", "--page", "1", "--slave", "5"}), "P01FBLT05\r\n");  // no prefix on RS-232C
    EXPECT_EQ(dry({"blink", "--page=2", "--rs485", "--slave=7"}), "07P02BDLT0200000\r\n");
    EXPECT_EQ(dry({"colour", "--page", "1"}), "P01ICLT17707070707070\r\n");

    // "ようこそ" padded with full-width spaces, "N" for the no-memory form.
    std::string text = dry({"text-nomem", "--page", "1"});
    ASSERT_EQ(text.size(), 398u);
    EXPECT_EQ(text.substr(0, 24), "CN01246824262433243D2121");
    EXPECT_EQ(text.substr(396), "\r\n");

    Result on = Run({"display", "on", "--dry-run", "--rs485", "--slave", "12"});
    EXPECT_EQ(on.out, "12IDON\r\n");
    EXPECT_EQ(Run({"display", "off", "--dry-run"}).out, "IDOF\r\n");
}

TEST_F(CliTest, DryRunOfAllItemsSendsTheWholeRunInOrder) {
    Result r = Run({"send", Data("sample.dat"), "--dry-run", "--rs485", "--slave", "9"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines;
    for (size_t start = 0; start < r.out.size();) {
        size_t lf = r.out.find('\n', start);
        ASSERT_NE(lf, std::string::npos);
        lines.push_back(r.out.substr(start, lf + 1 - start));
        start = lf + 1;
    }
    ASSERT_EQ(lines.size(), 102u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.substr(0, 2), "09");
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    }
    EXPECT_EQ(kvt::test::HeadsOf(lines, kvt::test::AllItemsHeads("PAS"), 2), kvt::test::AllItemsHeads("PAS"));
    EXPECT_EQ(lines[98], "09PAS\r\n");
    EXPECT_EQ(lines[99].substr(0, 8), "09PTCT02");
    EXPECT_EQ(lines[100], "09PH08\r\n");
    EXPECT_EQ(lines[101], "09PV08\r\n");
}

TEST_F(CliTest, RejectedStepsGoToStandardErrorAndFailTheRun) {
    const std::string jis = "ＪＩＳ第１水準,第２水準以外の字が選択されてます";
    Result r = Run({"send", Data("rejects.dat"), "--dry-run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("step 3: " + jis + "\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("step 39: Miss! Can't Set\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("step 101: "), std::string::npos) << r.err;
    EXPECT_EQ(CountOf(r.err, "\n"), 3);
    // The run goes on around the rejected steps.
    EXPECT_EQ(CountOf(r.out, "\r\n"), 99);
    EXPECT_EQ(r.out.find("CA03"), std::string::npos);
    EXPECT_EQ(r.out.find("P04ICLT"), std::string::npos);
    EXPECT_NE(r.out.find("P05ICLT"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 6), "PV08\r\n");

    r = Run({"send", Data("rejects.dat"), "colour", "--page", "4", "--dry-run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "step 1: Miss! Can't Set\n");
}

TEST_F(CliTest, CheckListsThePagesThatCannotBeSent) {
    Result r = Run({"check", Data("rejects.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("page 03 text: ＪＩＳ第１水準"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("page 04 colour: Miss! Can't Set\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("time: "), std::string::npos) << r.out;
    EXPECT_EQ(CountOf(r.out, "\n"), 3);

    r = Run({"check", Data("sample.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
}

TEST_F(CliTest, ShowPrintsTextsInUtf8AndNamesTheValues) {
    Result r = Run({"show", Data("sample.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Page 01: white level High, display time 2 s, fill bordering 1,3\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("  line 1: char 赤, edge 白, blink OFF, text \"ようこそ\"\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("line 4: char 白, edge 黒, blink OFF, text \"　全角空白　入り\""),
              std::string::npos);
    EXPECT_NE(r.out.find("line 2: char 黄, edge 黒, blink 2,"), std::string::npos);
    EXPECT_NE(r.out.find("Page 03: white level Low"), std::string::npos);
    EXPECT_NE(r.out.find("\"ⅰⅱⅲ髙﨑\""), std::string::npos);
    const std::string tail = "\nPage select: Sequence\nH position: 8\nV position: 8\n";
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);

    // Values a hand-edited file may hold are shown, never used as indexes;
    // control bytes are not passed to the terminal.
    std::string file = ReadFile(Data("sample.dat"));
    file.replace(0, 1, "12");                       // charColor of page 1 line 1
    file.replace(file.find("\x82\xe6"), 2, "\x1b[");  // "よ" of "ようこそ"
    WriteFile(Path("odd.dat"), file);
    r = Run({"show", Path("odd.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("line 1: char ?(12), edge 白"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("text \"\\x1B[うこそ\""), std::string::npos) << r.out;
}

TEST_F(CliTest, DecodeReplaysRepliesIntoTheFile) {
    // Replies as captured: boxes for GO and E1; a colour reply for page 5;
    // a line over 499 bytes and a final fragment without LF are dropped.
    const std::string input = "GO\r\nE1\r\nP05C   12345678123456\r\nPH11\r\n" +
                              std::string(500, 'x') + "\n" + "PV03\r\n" + "PV04";
    Result r = Run({"decode", Path("out.dat")}, input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Success\nParity Error\n");

    Result shown = Run({"show", Path("out.dat")});
    EXPECT_NE(shown.out.find("Page 05: white level High, display time 2 s, fill bordering none\n"
                             "  line 1: char 赤, edge 緑"),
              std::string::npos);
    EXPECT_NE(shown.out.find("H position: 11\nV position: 3\n"), std::string::npos);

    // RS-485: the two-digit prefix goes, whatever slave it names; --base
    // keeps what the replies do not touch.
    r = Run({"decode", Path("out2.dat"), "--base", Data("sample.dat"), "--rs485"},
            "17GO\r\n17PH05\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Success\n");
    shown = Run({"show", Path("out2.dat")});
    EXPECT_NE(shown.out.find("\"ようこそ\""), std::string::npos);
    EXPECT_NE(shown.out.find("Sequence\nH position: 5\nV position: 8\n"), std::string::npos);

    // No input re-writes the file unchanged.
    r = Run({"decode", Path("copy.dat"), "--base", Data("sample.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadFile(Path("copy.dat")), ReadFile(Data("sample.dat")));
}

}  // namespace
