// The texts sheet: the form it is written in, what a spreadsheet user may
// do to it, and what the import refuses.
#include "exchange/texts_csv.h"

#include <gtest/gtest.h>

#include "settings/cp932.h"
#include "settings/settings_file.h"

namespace kvt {
namespace {

const char kHeader[] = "page,line,text,character colour,border colour,blink";

std::string Cp932(const std::string& utf8) {
    std::string bytes;
    EXPECT_TRUE(Utf8ToCp932(utf8, &bytes)) << utf8;
    return bytes;
}

PanelSettings NewStore() {
    PanelSettings s;
    ResetPanelSettings(&s);
    return s;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST(TextsCsvTest, WrittenAsASpreadsheetSavesIt) {
    PanelSettings s = NewStore();
    s.lineText[0][0] = Cp932("ようこそ");
    s.charColor[0][0] = 1;
    s.blinkMode[0][0] = 3;
    s.lineText[0][1] = "a,\"b\"";  // only a hand-edited file holds this
    s.edgeColor[31][6] = 12;
    s.blinkMode[31][6] = -1;
    const std::string csv = TextsToCsv(s);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = Lines(csv.substr(3));
    ASSERT_EQ(lines.size(), 1u + 32 * 7);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1], "1,1,ようこそ,赤,黒,3");
    EXPECT_EQ(lines[2], "1,2,\"a,\"\"b\"\"\",白,黒,OFF");
    EXPECT_EQ(lines[8], "2,1,,白,黒,OFF");
    EXPECT_EQ(lines[224], "32,7,,白,12,-1");
    EXPECT_EQ(csv.back(), '\n');
}

TEST(TextsCsvTest, ASheetEditedInASpreadsheet) {
    PanelSettings s = NewStore();
    s.lineText[2][0] = Cp932("消えない");
    s.charColor[4][4] = 3;
    // LF line ends, no byte order mark, columns moved and one left out,
    // names, codes and "off", a blank row, a quoted text, blanks around
    // numbers; rows left out keep their values.
    const std::string csv =
        "Blink, Page ,line,Character Colour,text\n"
        "off,1,1,赤,\"ようこそ\"\n"
        "\n"
        "4, 2 ,7,6,\n"
        "2,5,5,ブランク,　全角空白　\n"
        ",,,,\n";
    ASSERT_EQ(ApplyTextsCsv(csv, &s), std::vector<std::string>{});
    EXPECT_EQ(s.lineText[0][0], Cp932("ようこそ"));
    EXPECT_EQ(s.charColor[0][0], 1);
    EXPECT_EQ(s.blinkMode[0][0], 0);
    EXPECT_EQ(s.blinkMode[1][6], 4);
    EXPECT_EQ(s.charColor[1][6], 6);
    EXPECT_EQ(s.lineText[1][6], "");
    EXPECT_EQ(s.lineText[4][4], Cp932("　全角空白　"));
    EXPECT_EQ(s.charColor[4][4], 8);
    EXPECT_EQ(s.edgeColor[4][4], 0);  // no border colour column
    EXPECT_EQ(s.lineText[2][0], Cp932("消えない"));
}

TEST(TextsCsvTest, RefusalsNameRowAndColumnAndChangeNothing) {
    struct Case {
        std::string rows;  // after the header
        std::string problem;
    };
    const std::string ok = ",白,黒,OFF\r\n";
    const Case cases[] = {
        {"1,1,ＡＢ" + ok + "2,1,ABC" + ok,
         "row 3, column C (text): \"ABC\" holds the half-width character \"A\"; the sign shows "
         "full-width characters only"},
        {"1,1,あい" + ok + "1,2,\"あ\r\nい\"" + ok,
         "row 3, column C (text): \"あ\\x0D\\x0Aい\" holds a half-width blank, tab, line break "
         "or NUL, which a settings file cannot hold"},
        {"1,1,\t" + ok,
         "row 2, column C (text): \"\\x09\" holds a half-width blank, tab, line break or NUL, "
         "which a settings file cannot hold"},
        {"1,1,ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ" + ok,
         "row 2, column C (text): \"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ\" is 30 bytes long; a line "
         "holds at most 28 bytes (14 full-width characters)"},
        {"1,1,温度😀" + ok,
         "row 2, column C (text): \"温度😀\" holds \"😀\", which code page 932 does not have"},
        {"1,1,\xE3\x81" + ok, "row 2, column C: not UTF-8 text; save the sheet as UTF-8 CSV"},
        {"33,1,あ" + ok, "row 2, column A (page): \"33\" is not a page number 1..32"},
        {"1,8,あ" + ok, "row 2, column B (line): \"8\" is not a line number 1..7"},
        {"1,1,あ,9,黒,OFF\r\n", "row 2, column D (character colour): 9 is out of range 0..8"},
        {"1,1,あ,白,紫,OFF\r\n",
         "row 2, column E (border colour): \"紫\" is not a border colour: give 0..8 or 黒, 赤, 緑, "
         "黄, 青, マゼンタ, シアン, 白, ブランク"},
        {"1,1,あ,白,黒,5\r\n", "row 2, column F (blink): 5 is out of range 0..4"},
        {"1,1,あ,白,黒,ON\r\n",
         "row 2, column F (blink): \"ON\" is not a blink: give OFF or 1..4 (0 for OFF)"},
        {"1,1,あ,白\r\n", "row 2: 4 cells, but the header names column F"},
        {"1,1,あ,白,黒,OFF,x\r\n", "row 2, column G: a value in a column the header does not name"},
        {"3,4,あ" + ok + "3,4,い" + ok, "row 3: page 3 line 4 is already given in row 2"},
        {"1,1,\"あ\"\"" + ok, "row 2, column C: a quoted cell is not closed"},
    };
    for (const Case& c : cases) {
        PanelSettings s = NewStore();
        const std::string before = FormatSettings(s, 0);
        const std::vector<std::string> problems =
            ApplyTextsCsv(std::string(kHeader) + "\r\n" + c.rows, &s);
        EXPECT_EQ(problems, std::vector<std::string>{c.problem}) << c.rows;
        EXPECT_EQ(FormatSettings(s, 0), before) << c.rows;
    }
    PanelSettings s = NewStore();
    EXPECT_EQ(ApplyTextsCsv("page,line,colour\n", &s),
              (std::vector<std::string>{"row 1, column C: unknown column \"colour\" (the columns "
                                        "are page, line, text, character colour, border colour, "
                                        "blink)"}));
    EXPECT_EQ(ApplyTextsCsv("line,text\n", &s),
              (std::vector<std::string>{"row 1: no \"page\" column (the header row names the "
                                        "columns: page, line, text, character colour, border "
                                        "colour, blink)"}));
    EXPECT_EQ(ApplyTextsCsv("", &s).size(), 1u);
}

}  // namespace
}  // namespace kvt
