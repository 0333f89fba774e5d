#include "settings/settings_file.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "session/session.h"
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <fstream>
#include <sstream>
#include <thread>

#include "settings/bounded_read.h"
#include "settings/cp932.h"
#include "settings/panel_settings.h"
#include "support/temp_dir.h"

namespace kvt {
namespace {

const std::string kZenSpace = "\x81\x40";     // "　"
const std::string kA = "\x82\xa0";            // "あ"
const std::string kKan = "\x8a\xbf";          // "漢"

using test::ReadFile;
using test::WriteFile;

// The default file as it must look: 996 values, CR LF line ends.
std::string DefaultFile(const char* eol = "\r\n") {
    std::string s;
    auto lines = [&](int n, const char* v) {
        for (int i = 0; i < n; ++i) s += std::string(v) + eol;
    };
    lines(224, "7");
    lines(224, "0");
    lines(224, "0");
    lines(32, "1");
    lines(32, "2");
    lines(32, "0");
    lines(2, "8");
    lines(2, "0");
    lines(224, "s");
    return s;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    return names;
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_ / name; }

    test::TempDir dir_;
    Session session;
};

TEST_F(SettingsFileTest, DefaultStoreSavesByteExact) {
    std::string message;
    ASSERT_EQ(WriteSettingsFile(Path("new.dat"), session.panelSettings, session.currentPage, &message), SaveResult::Ok);
    EXPECT_EQ(ReadFile(Path("new.dat")), DefaultFile());
    EXPECT_EQ(FormatSettings(session.panelSettings, session.currentPage), DefaultFile());
}

TEST_F(SettingsFileTest, EveryFieldRoundTrips) {
    PanelSettings& s = session.panelSettings;
    for (int p = 0; p < kPageCount; ++p) {
        for (int k = 0; k < kLineCount; ++k) {
            s.charColor[p][k] = (p + k) % 9;
            s.edgeColor[p][k] = (p * 3 + k) % 9;
            s.blinkMode[p][k] = (p + 2 * k) % 5;
        }
        s.whiteLevel[p] = p % 2;
        s.displayTime[p] = p * 3;
        s.fillMask[p] = p * 4;
    }
    s.lineText[0][0] = kA;
    s.lineText[0][1] = kZenSpace + kKan + kZenSpace;  // full-width spaces kept
    s.lineText[5][6] = std::string();
    std::string fourteen;
    for (int i = 0; i < 14; ++i) fourteen += kKan;
    s.lineText[31][6] = fourteen;
    s.hPosition = -3;  // a negative value only a hand-edited file would hold
    s.vPosition = 15;
    session.currentPage = 9;
    s.sequenceMode = 1;

    std::string before = FormatSettings(session.panelSettings, session.currentPage);
    ASSERT_EQ(WriteSettingsFile(Path("a.dat"), session.panelSettings, session.currentPage, nullptr), SaveResult::Ok);
    session.ResetSettings();
    ASSERT_TRUE(ReadSettingsFile(Path("a.dat"), &session.panelSettings, &session.currentPage));
    EXPECT_EQ(FormatSettings(session.panelSettings, session.currentPage), before);
    EXPECT_EQ(s.lineText[0][1], kZenSpace + kKan + kZenSpace);
    EXPECT_EQ(s.lineText[31][6], fourteen);
    EXPECT_EQ(s.hPosition, -3);
    EXPECT_EQ(session.currentPage, 9);
}

TEST_F(SettingsFileTest, ReaderAcceptsAnyWhitespace) {
    std::string file = DefaultFile("\n");
    file[file.find("\n2\n")] = ' ';         // numbers separated by a blank
    file.replace(file.find("s\n"), 2, "\x82\xa0\t\v\f ");  // first text, other blanks
    ParseSettings(file, &session.panelSettings, &session.currentPage);
    EXPECT_EQ(session.panelSettings.lineText[0][0], kA);
    EXPECT_EQ(session.panelSettings.displayTime[0], 2);
    session.panelSettings.lineText[0][0].clear();
    EXPECT_EQ(FormatSettings(session.panelSettings, session.currentPage), DefaultFile());
}

TEST_F(SettingsFileTest, TextTokensShiftCutAndReadSAsEmpty) {
    std::string numbers = DefaultFile().substr(0, DefaultFile().find("s\r\n"));
    std::string forty(40, 'x');
    // Line 1 "s" is empty; "a b" becomes two texts and shifts the rest; the
    // 40-byte token is cut at 33 and its tail is not the next text.
    ParseSettings(numbers + "s\r\na b\r\n" + forty + "\r\nlast\r\n", &session.panelSettings, &session.currentPage);
    const auto& t = session.panelSettings.lineText;
    EXPECT_EQ(t[0][0], "");
    EXPECT_EQ(t[0][1], "a");
    EXPECT_EQ(t[0][2], "b");
    EXPECT_EQ(t[0][3], std::string(33, 'x'));
    EXPECT_EQ(t[0][4], "last");
    EXPECT_EQ(t[0][5], "");  // end of file: texts stay empty
    EXPECT_EQ(t[31][6], "");
}

TEST_F(SettingsFileTest, MalformedAndShortFiles) {
    PanelSettings& s = session.panelSettings;
    s.lineText[0][0] = "old";

    // Two good numbers, then a word: the word stops every later number
    // (nothing is consumed) and becomes the first text.
    ParseSettings("3 -4 word 5", &session.panelSettings, &session.currentPage);
    EXPECT_EQ(s.charColor[0][0], 3);
    EXPECT_EQ(s.charColor[0][1], -4);
    EXPECT_EQ(s.charColor[0][2], 7);
    EXPECT_EQ(s.hPosition, 8);
    EXPECT_EQ(s.lineText[0][0], "word");
    EXPECT_EQ(s.lineText[0][1], "5");

    // Digits glued to letters: the number is read, the letters remain.
    session.ResetSettings();
    ParseSettings("+12abc", &session.panelSettings, &session.currentPage);
    EXPECT_EQ(s.charColor[0][0], 12);
    EXPECT_EQ(s.charColor[0][1], 7);
    EXPECT_EQ(s.lineText[0][0], "abc");

    // A lone sign is no number; overflowing numbers are clamped.
    session.ResetSettings();
    ParseSettings("- 99999999999 -99999999999", &session.panelSettings, &session.currentPage);
    EXPECT_EQ(s.charColor[0][0], 7);
    EXPECT_EQ(s.lineText[0][0], "-");
    EXPECT_EQ(s.lineText[0][1], "99999999999");
    ParseSettings("99999999999 -99999999999 -2147483648", &session.panelSettings, &session.currentPage);
    EXPECT_EQ(s.charColor[0][0], 2147483647);
    EXPECT_EQ(s.charColor[0][1], -2147483647 - 1);
    EXPECT_EQ(s.charColor[0][2], -2147483647 - 1);

    // An empty file changes no number and empties every text.
    session.ResetSettings();
    s.displayTime[3] = 44;
    s.lineText[2][2] = "x";
    ParseSettings("", &session.panelSettings, &session.currentPage);
    EXPECT_EQ(s.displayTime[3], 44);
    EXPECT_EQ(s.lineText[2][2], "");
}

TEST_F(SettingsFileTest, UnreadableFileLeavesStoreAlone) {
    session.panelSettings.lineText[1][1] = kA;
    session.panelSettings.displayTime[0] = 9;
    EXPECT_FALSE(ReadSettingsFile(Path("missing.dat"), &session.panelSettings, &session.currentPage));
    EXPECT_FALSE(ReadSettingsFile(dir_.path(), &session.panelSettings, &session.currentPage));  // a folder opens but cannot be read
    EXPECT_EQ(session.panelSettings.lineText[1][1], kA);
    EXPECT_EQ(session.panelSettings.displayTime[0], 9);
}

// Up to 1 MiB is read; one byte more is refused, whatever kind of file
// holds it, and the store stays as it was.
TEST_F(SettingsFileTest, InputBeyondOneMebibyteIsRefused) {
    std::string file = DefaultFile();
    file.replace(0, 1, "3");  // charColor of page 1 line 1
    file.resize(kMaxInputBytes, ' ');
    WriteFile(Path("full.dat"), file);
    WriteFile(Path("over.dat"), file + " ");
    std::string message = "untouched";
    ASSERT_TRUE(ReadSettingsFile(Path("full.dat"), &session.panelSettings, &session.currentPage, &message));
    EXPECT_EQ(message, "untouched");
    EXPECT_EQ(session.panelSettings.charColor[0][0], 3);

    session.ResetSettings();
    session.panelSettings.lineText[4][4] = kA;
    EXPECT_FALSE(ReadSettingsFile(Path("over.dat"), &session.panelSettings, &session.currentPage, &message));
    EXPECT_EQ(message, "Can't file open: " + Path("over.dat") + " is larger than 1 MiB (1048576 bytes)");
    EXPECT_FALSE(ReadSettingsFile("/dev/zero", &session.panelSettings, &session.currentPage, &message));
    EXPECT_EQ(message, "Can't file open: /dev/zero is larger than 1 MiB (1048576 bytes)");
    EXPECT_EQ(session.panelSettings.charColor[0][0], 7);
    EXPECT_EQ(session.panelSettings.lineText[4][4], kA);
    EXPECT_FALSE(ReadSettingsFile(Path("missing.dat"), &session.panelSettings, &session.currentPage, &message));
    EXPECT_EQ(message, "Can't file open");
}

// A FIFO is read to its end like a file.
TEST_F(SettingsFileTest, ReadsAFifo) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    std::string file = DefaultFile();
    file.replace(file.find("\r\n8\r\n") + 2, 1, "5");  // hPosition
    std::thread writer([&] { WriteFile(Path("fifo"), file); });
    EXPECT_TRUE(ReadSettingsFile(Path("fifo"), &session.panelSettings, &session.currentPage));
    writer.join();
    EXPECT_EQ(session.panelSettings.hPosition, 5);
}

TEST_F(SettingsFileTest, TextsThatWouldReadBackDifferentlyAreRefused) {
    WriteFile(Path("old.dat"), "old\r\n");
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {{"a b", "blank"},  {kA + "\t", "blank"},
                          {"x\ry", "blank"}, {"s", "\"s\""},
                          {std::string(34, 'x'), "33"}};
    for (const auto& c : cases) {
        session.ResetSettings();
        session.panelSettings.lineText[2][4] = c.text;
        std::string message;
        EXPECT_EQ(WriteSettingsFile(Path("old.dat"), session.panelSettings, session.currentPage, &message), SaveResult::Refused);
        EXPECT_NE(message.find("page 03 line 5"), std::string::npos) << message;
        EXPECT_NE(message.find(c.why), std::string::npos) << message;
        for (unsigned char ch : message) EXPECT_LT(ch, 0x80);
        EXPECT_EQ(WriteSettingsFile(Path("other.dat"), session.panelSettings, session.currentPage, &message), SaveResult::Refused);
    }
    EXPECT_EQ(ReadFile(Path("old.dat")), "old\r\n");
    EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"old.dat"});

    // The limits themselves are fine: 33 bytes, "ss", a full-width space.
    session.ResetSettings();
    session.panelSettings.lineText[0][0] = std::string(33, 'x');
    session.panelSettings.lineText[0][1] = "ss";
    session.panelSettings.lineText[0][2] = kZenSpace;
    EXPECT_EQ(UnsaveableTextReason(session.panelSettings), "");
}

TEST_F(SettingsFileTest, OpenFailures) {
    std::string message;
    EXPECT_EQ(WriteSettingsFile("", session.panelSettings, session.currentPage, &message), SaveResult::CannotOpen);
    EXPECT_EQ(message, "Can't file open");
    EXPECT_EQ(WriteSettingsFile(Path("no/such/dir.dat"), session.panelSettings, session.currentPage, &message), SaveResult::CannotOpen);
    EXPECT_EQ(WriteSettingsFile(dir_.path(), session.panelSettings, session.currentPage, &message), SaveResult::CannotOpen);
    EXPECT_EQ(message, "Can't file open");
}

// A real write failure: the file size limit stops the write half-way.
TEST_F(SettingsFileTest, FailedWriteKeepsOldFileAndLeavesNoTemporary) {
    const std::string old = "old content\r\n";
    WriteFile(Path("keep.dat"), old);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string message;
        SaveResult r = WriteSettingsFile(Path("keep.dat"), session.panelSettings, session.currentPage, &message);
        _exit(r == SaveResult::CannotWrite && message == "Can't file write" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(Path("keep.dat")), old);
    EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"keep.dat"});
}

// A new file gets what the umask allows of 0666, as any new file would; an
// existing one keeps its own mode.
TEST_F(SettingsFileTest, NewFileModeFollowsTheUmask) {
    const mode_t saved = umask(077);
    const SaveResult first = WriteSettingsFile(Path("private.dat"), session.panelSettings, 0, nullptr);
    umask(027);
    const SaveResult second = WriteSettingsFile(Path("group.dat"), session.panelSettings, 0, nullptr);
    umask(saved);
    ASSERT_EQ(first, SaveResult::Ok);
    ASSERT_EQ(second, SaveResult::Ok);
    struct stat st;
    ASSERT_EQ(stat(Path("private.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(stat(Path("group.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SettingsFileTest, SaveKeepsModeAndWritesThroughSymlink) {
    WriteFile(Path("real.dat"), "x");
    chmod(Path("real.dat").c_str(), 0640);
    ASSERT_EQ(symlink("real.dat", Path("link.dat").c_str()), 0);
    ASSERT_EQ(WriteSettingsFile(Path("link.dat"), session.panelSettings, session.currentPage, nullptr), SaveResult::Ok);

    struct stat st;
    ASSERT_EQ(lstat(Path("link.dat").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(Path("real.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(Path("real.dat")), DefaultFile());
}

// Many files saved together: none in place before Finish (an old one kept
// meanwhile), all of them after it but one whose place was taken by a
// folder, which is named with the reason; no temporary file is left, nor
// any file of a batch never finished.
TEST_F(SettingsFileTest, ABatchPutsItsFilesInPlaceOnlyWhenFinished) {
    std::vector<std::string> left;
    {
        SaveBatch unfinished;
        ASSERT_EQ(
            WriteSettingsFile(Path("gone.dat"), session.panelSettings, 0, nullptr, &unfinished),
            SaveResult::Ok);
    }
    EXPECT_EQ(Entries(dir_.path()), left);

    WriteFile(Path("old.dat"), "old");
    SaveBatch batch;
    for (const char* name : {"old.dat", "new.dat", "taken.dat"})
        ASSERT_EQ(WriteSettingsFile(Path(name), session.panelSettings, 0, nullptr, &batch),
                  SaveResult::Ok);
    EXPECT_EQ(ReadFile(Path("old.dat")), "old");
    EXPECT_EQ(access(Path("new.dat").c_str(), F_OK), -1);
    ASSERT_EQ(mkdir(Path("taken.dat").c_str(), 0777), 0);
    WriteFile(Path("taken.dat/inside"), "");

    const std::map<std::string, std::string> failed = batch.Finish();
    EXPECT_EQ(failed, (std::map<std::string, std::string>{
                          {Path("taken.dat"), "Can't file write: Is a directory"}}));
    EXPECT_EQ(ReadFile(Path("old.dat")), DefaultFile());
    EXPECT_EQ(ReadFile(Path("new.dat")), DefaultFile());
    left = Entries(dir_.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"new.dat", "old.dat", "taken.dat"}));
}

TEST(Cp932Test, ConvertsBothWays) {
    const std::string utf8 = "あ\u3000漢ｱ\\~";
    std::string cp;
    ASSERT_TRUE(Utf8ToCp932(utf8, &cp));
    EXPECT_EQ(cp, kA + kZenSpace + kKan + "\xb1\\~");
    EXPECT_EQ(Cp932ToUtf8(cp), utf8);

    // No code-page-932 form: refused, output untouched.
    std::string out = "keep";
    EXPECT_FALSE(Utf8ToCp932("a\U0001F600", &out));
    EXPECT_EQ(out, "keep");
    EXPECT_FALSE(Utf8ToCp932("a\U0001F600", nullptr));
    EXPECT_TRUE(Utf8ToCp932(utf8, nullptr));  // only asks

    // Bad bytes, a cut-off lead byte at the end included: one U+FFFD each.
    EXPECT_EQ(Cp932ToUtf8("a\x81\x20" "b\x82"), "a\xEF\xBF\xBD b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace kvt
