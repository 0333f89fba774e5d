// The fleet sheet: lines from rows, names, files relative to the sheet, and
// each refusal with its row and column.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/fleet_sheet.h"
#include "settings/settings_file.h"
#include "support/temp_dir.h"

namespace kvt {
namespace {

class FleetSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        PanelSettings settings;
        ResetPanelSettings(&settings);
        settings.hPosition = 3;
        std::string message;
        ASSERT_EQ(WriteSettingsFile(dir_ / "a.dat", settings, 4, &message), SaveResult::Ok);
        std::ofstream(dir_ / "broken.dat") << std::string(2 << 20, 'x');
        // COM1 stands for /dev/ttyS0, as the profile would map it.
        use_.device = [](const std::string& port) { return port == "COM1" ? "/dev/ttyS0" : port; };
        use_.fileName = [](const std::string& name) { return name == "x/y" ? "x_y" : name; };
    }
    std::vector<std::string> Read(const std::string& csv) {
        return ReadFleetSheet(csv, dir_.path(), use_, &lines_);
    }

    test::TempDir dir_;
    FleetSheetUse use_;
    std::vector<FleetLine> lines_;
};

TEST_F(FleetSheetTest, RowsWithOnePortMakeOneLine) {
    const std::vector<std::string> problems = Read(
        "\xEF\xBB\xBF" "name,Port,slave,file\r\n"
        "hall,tcp://[::1]:4001,1,a.dat\r\n"
        ",COM1,,a.dat\r\n"
        ",tcp://[::1]:4001,07," + dir_ / "a.dat" + "\r\n"
        "\r\n");
    ASSERT_EQ(problems, std::vector<std::string>{});
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0].name, "tcp://[::1]:4001");
    ASSERT_EQ(lines_[0].signs.size(), 2u);
    EXPECT_EQ(lines_[0].signs[0].name, "hall");
    EXPECT_EQ(lines_[0].signs[1].name, "tcp://[::1]:4001/07");
    EXPECT_EQ(lines_[0].signs[1].slave, 7);
    EXPECT_EQ(lines_[0].signs[1].settings.hPosition, 3);
    EXPECT_EQ(lines_[0].signs[1].currentPage, 4);
    EXPECT_EQ(lines_[0].signs[1].file, dir_ / "a.dat");
    EXPECT_EQ(lines_[1].signs[0].file, dir_ / "a.dat");  // relative to the sheet's folder
    EXPECT_EQ(lines_[1].device, "/dev/ttyS0");
    EXPECT_EQ(lines_[1].signs[0].name, "COM1");
    EXPECT_EQ(lines_[1].signs[0].slave, kNoSlave);
}

TEST_F(FleetSheetTest, AProblemAnywhereRefusesTheWholeSheet) {
    const struct {
        const char* rows;
        const char* problem;
    } cases[] = {
        {"port,slave,file,where\n", "row 1, column D: unknown column \"where\""},
        {"slave,file\n", "row 1: no \"port\" column"},
        {"port,slave\n", "row 1: no \"file\" column"},
        {"port,slave,file\n,1,a.dat\n", "row 2, column A (port): no port"},
        {"port,slave,file\nCOM2,32,a.dat\n", "row 2, column B (slave): \"32\" is not a slave number 0..31"},
        {"port,slave,file\nCOM2,1,\n", "row 2, column C (file): no file"},
        {"port,slave,file\nCOM2,1,none.dat\n", "row 2, column C (file): \"none.dat\": Can't file open"},
        {"port,slave,file\nCOM2,1,broken.dat\n", "row 2, column C (file): \"broken.dat\": "},
        {"port,slave,file\nCOM2,1,a.dat\nCOM2,01,a.dat\n",
         "row 3, column B (slave): slave 01 of \"COM2\" is already given in row 2"},
        {"port,slave,file\nCOM1,1,a.dat\n/dev/ttyS0,,a.dat\n",
         "row 3, column B (slave): no slave, but \"COM1\" is an RS-485 line (row 2 gives slave 01)"},
        {"port,slave,file\nCOM2,,a.dat\nCOM2,3,a.dat\n",
         "row 3, column B (slave): slave 03, but \"COM2\" is an RS-232C line (row 2 gives no slave)"},
        {"port,slave,file\nCOM2,,a.dat\nCOM2,,a.dat\n",
         "row 3, column B (slave): \"COM2\" is an RS-232C line with one sign, given in row 2"},
        {"port,slave,file,name\nCOM2,1,a.dat,hall\nCOM3,1,a.dat,hall\n",
         "row 3, column D (name): \"hall\" is already the name of row 2"},
        {"port,slave,file\nCOM2,1,a.dat,extra\n",
         "row 2, column D: a value in a column the header does not name"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> problems = Read(c.rows);
        ASSERT_FALSE(problems.empty()) << c.rows;
        EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << c.rows << "\n" << problems[0];
        EXPECT_TRUE(lines_.empty()) << c.rows;
    }
}

TEST_F(FleetSheetTest, AReadNeedsNoFilesButNamesThatMakeFilesApart) {
    use_.files = false;
    EXPECT_EQ(Read("port,slave\nCOM2,1\nCOM2,2\n"), std::vector<std::string>{});
    EXPECT_EQ(lines_.at(0).signs.size(), 2u);
    const std::vector<std::string> problems = Read("port,slave,name\nCOM2,1,x/y\nCOM2,2,x_y\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              "row 3, column C (name): \"x_y\" gives the file name \"x_y.dat\" of row 2");
    // A deploy checks what each file would send.
    use_.files = true;
    use_.check = [](const PanelSettings& s, int) { return s.hPosition == 3 ? "H position" : ""; };
    EXPECT_EQ(Read("port,slave,file\nCOM2,1,a.dat\n").at(0),
              "row 2, column C (file): \"a.dat\" cannot be sent whole (see check): H position");
}

}  // namespace
}  // namespace kvt
