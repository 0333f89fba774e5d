// export and import through the command-line tool: files that come back
// byte for byte, refusals that write nothing, and the exit statuses.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "support/child.h"
#include "support/test_paths.h"

namespace {

using kvt::test::ReadFile;
using kvt::test::ToolResult;
using kvt::test::WriteFile;

std::string Data(const char* name) { return std::string(KVT_TEST_DATA) + "/" + name; }

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class ExchangeCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);  // no profile of the user's
    }
    std::string Path(const char* name) const { return dir_ / name; }
    ToolResult Run(std::vector<std::string> args) {
        return kvt::test::RunTool(KVT_CLI_PATH, args, dir_.path());
    }

    kvt::test::TempDir dir_;
};

TEST_F(ExchangeCliTest, ExportThenImportGivesTheSameFile) {
    for (const char* name : {"sample.dat", "rejects.dat"}) {
        ToolResult r =
            Run({"export", Data(name), "--texts", Path("t.csv"), "--json=" + Path("s.json")});
        EXPECT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(r.out + r.err, "") << name;
        for (const char* in : {"t.csv", "s.json"}) {
            r = Run({"import", Data(name), Path(in), Path("out.dat")});
            EXPECT_EQ(r.status, 0) << name << " " << in << r.err;
            EXPECT_EQ(ReadFile(Path("out.dat")), ReadFile(Data(name))) << name << " " << in;
        }
    }
    // A sheet with every line cleared, over a new file, gives a new file.
    ASSERT_EQ(Run({"new", Path("new.dat")}).status, 0);
    std::string sheet = "page,line,text\r\n";
    for (int p = 1; p <= 32; ++p)
        for (int k = 1; k <= 7; ++k) sheet += std::to_string(p) + "," + std::to_string(k) + ",\r\n";
    WriteFile(Path("clear.csv"), sheet);
    EXPECT_EQ(Run({"import", Path("new.dat"), Path("clear.csv"), Path("out.dat")}).status, 0);
    EXPECT_EQ(ReadFile(Path("out.dat")), ReadFile(Path("new.dat")));
}

TEST_F(ExchangeCliTest, ARefusedImportWritesNothing) {
    WriteFile(Path("bad.csv"), "page,line,text\r\n1,1,ＯＫ\r\n1,2,NG\r\n");
    WriteFile(Path("bad.json"),
               R"({"format": "kvt540m-settings", "version": 1, "hPosition": 16})");
    for (const char* in : {"bad.csv", "bad.json"}) {
        ToolResult r = Run({"import", Data("sample.dat"), Path(in), Path("new.dat")});
        EXPECT_EQ(r.status, 1) << in;
        EXPECT_EQ(r.out, "") << in;
        EXPECT_FALSE(Exists(Path("new.dat"))) << in;
        // An old file stays as it was, also when it is FILE.dat itself.
        WriteFile(Path("old.dat"), ReadFile(Data("sample.dat")));
        r = Run({"import", Path("old.dat"), Path(in), Path("old.dat")});
        EXPECT_EQ(r.status, 1) << in;
        EXPECT_EQ(ReadFile(Path("old.dat")), ReadFile(Data("sample.dat"))) << in;
    }
    ToolResult r = Run({"import", Data("sample.dat"), Path("bad.csv"), Path("new.dat")});
    EXPECT_EQ(r.err, "kvt540m-cli: " + Path("bad.csv") +
                         ": row 3, column C (text): \"NG\" holds the half-width character \"N\"; "
                         "the sign shows full-width characters only\n"
                         "kvt540m-cli: " +
                         Path("new.dat") + " not written\n");
    r = Run({"import", Data("sample.dat"), Path("bad.json"), Path("new.dat")});
    EXPECT_EQ(r.err, "kvt540m-cli: " + Path("bad.json") +
                         ": hPosition: 16 is out of range 0..15\n"
                         "kvt540m-cli: " +
                         Path("new.dat") + " not written\n");
}

TEST_F(ExchangeCliTest, UsageErrorsAndFilesThatCannotBeReadOrWritten) {
    WriteFile(Path("in.csv"), "page,line\r\n");
    const std::vector<std::vector<std::string>> usage = {
        {"export", Data("sample.dat")},
        {"export", "--texts", Path("t.csv")},
        {"export", Data("sample.dat"), "--texts"},
        {"export", Data("sample.dat"), "--texts", Path("t.csv"), "--page", "1"},
        {"import", Data("sample.dat"), Path("in.csv")},
        {"import", Data("sample.dat"), Path("in.txt"), Path("out.dat")},
        {"import", Data("sample.dat"), Path("in.csv"), Path("out.dat"), "--json", Path("x.json")},
    };
    for (const auto& args : usage) {
        ToolResult r = Run(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args.size();
        EXPECT_NE(r.err.find("\nTry 'kvt540m-cli --help'.\n"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(Exists(Path("t.csv")));
    EXPECT_FALSE(Exists(Path("out.dat")));

    ToolResult r = Run({"import", Path("none.dat"), Path("in.csv"), Path("out.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't file open\n");
    r = Run({"import", Data("sample.dat"), Path("none.csv"), Path("out.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kvt540m-cli: cannot read " + Path("none.csv") + "\n");
    EXPECT_FALSE(Exists(Path("out.dat")));
    r = Run({"export", Data("sample.dat"), "--json", Path("no/a.json")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kvt540m-cli: cannot write " + Path("no/a.json") + "\n");
}

// A pipe (or a device) is written into, never replaced by a file.
TEST_F(ExchangeCliTest, ExportWritesIntoAPipe) {
    ASSERT_EQ(Run({"export", Data("sample.dat"), "--json", Path("s.json")}).status, 0);
    ASSERT_EQ(mkfifo(Path("pipe.json").c_str(), 0600), 0);
    // The reader is there from the start; the document fits the pipe's buffer.
    const int reader = open(Path("pipe.json").c_str(), O_RDONLY | O_NONBLOCK);
    const ToolResult r = Run({"export", Data("sample.dat"), "--json", Path("pipe.json")});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string piped(1 << 16, '\0');
    const ssize_t n = read(reader, &piped[0], piped.size());
    close(reader);
    piped.resize(n > 0 ? static_cast<size_t>(n) : 0);
    EXPECT_EQ(piped, ReadFile(Path("s.json")));
    struct stat info {};
    ASSERT_EQ(lstat(Path("pipe.json").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// What a spreadsheet, a script or an e-mail may make of a file: refused in
// a few short lines, after reading at most 1 MiB, and nothing is written.
TEST_F(ExchangeCliTest, HostileFilesAreRefusedInAFewShortLines) {
    const std::string big(1048577, '\n');
    const std::string x2000(2000, 'x');
    const std::string x40(40, 'x');
    std::string badRows = "page,line,text\r\n";
    for (int row = 0; row < 25; ++row) badRows += "99,1,\r\n";
    const std::string head = R"({"format": "kvt540m-settings", "version": 1, )";
    const struct {
        const char* name;
        std::string bytes;
        std::string last;  // the last line before "OUT not written", or the only line
        size_t lines;
    } cases[] = {
        {"big.csv", "page,line\r\n" + big, " is larger than 1 MiB (1048576 bytes)", 1},
        {"big.json", head + big + "}", " is larger than 1 MiB (1048576 bytes)", 1},
        {"rows.csv", badRows, ": ... and 5 more problems", 22},
        {"head.csv", "page,line," + x2000 + "\r\n",
         ": row 1, column C: unknown column \"" + x40 +
             "...\" (the columns are page, line, text, character colour, border colour, blink)",
         2},
        {"key.json", head + "\"" + x2000 + "\": 1}",
         ": " + x40 + "...: unknown key (the document has format, version, selectedPage, "
                      "sequence, hPosition, vPosition, pages)",
         2},
        {"string.json", head + "\"selectedPage\": \"" + x2000 + "\"}",
         ": selectedPage: must be a whole number, not the string \"" + x40 + "...\"", 2},
    };
    for (const auto& c : cases) {
        WriteFile(Path(c.name), c.bytes);
        const ToolResult r = Run({"import", Data("sample.dat"), Path(c.name), Path("out.dat")});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_FALSE(Exists(Path("out.dat"))) << c.name;
        std::vector<std::string> lines;
        for (size_t at = 0, lf; (lf = r.err.find('\n', at)) != std::string::npos; at = lf + 1)
            lines.push_back(r.err.substr(at, lf - at));
        ASSERT_EQ(lines.size(), c.lines) << c.name << "\n" << r.err;
        const std::string last = lines[c.lines == 1 ? 0 : c.lines - 2];
        const std::string start = c.lines == 1 ? "Can't file open: " : "kvt540m-cli: ";
        EXPECT_EQ(last, start + Path(c.name) + c.last) << c.name;
    }
    ToolResult r = Run({"import", Data("sample.dat"), Path("rows.csv"), "/" + x2000});
    EXPECT_EQ(r.err.substr(r.err.rfind(": ... and")), ": ... and 5 more problems\nkvt540m-cli: /" +
                                                         x40.substr(1) + "... not written\n");

    // A FIFO is read up to the limit and no further.
    ASSERT_EQ(mkfifo(Path("fifo.csv").c_str(), 0600), 0);
    signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    std::thread writer([&] {
        const int fd = open(Path("fifo.csv").c_str(), O_WRONLY);
        const std::string block(65536, '\n');
        for (ssize_t n = 0; n >= 0 && written < 64 * block.size();) {
            n = write(fd, block.data(), block.size());
            if (n > 0) written += static_cast<size_t>(n);
        }
        close(fd);
    });
    r = Run({"import", Data("sample.dat"), Path("fifo.csv"), Path("out.dat")});
    close(open(Path("fifo.csv").c_str(), O_RDONLY | O_NONBLOCK));  // a writer still waiting ends
    writer.join();
    EXPECT_EQ(r.err,
              "Can't file open: " + Path("fifo.csv") + " is larger than 1 MiB (1048576 bytes)\n");
    EXPECT_LT(written, 2u << 20);
    EXPECT_FALSE(Exists(Path("out.dat")));
}

}  // namespace
