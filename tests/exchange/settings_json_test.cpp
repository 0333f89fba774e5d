// The settings document: what a script may leave out or write in another
// form, and the paths named when a value is refused.
#include "exchange/settings_json.h"

#include <gtest/gtest.h>

#include "settings/cp932.h"
#include "settings/settings_file.h"

namespace kvt {
namespace {

const std::string kHead = "{\"format\": \"kvt540m-settings\", \"version\": 1";

struct Store {
    Store() { ResetPanelSettings(&settings); }
    std::vector<std::string> Apply(const std::string& json) {
        return ApplySettingsJson(json, &settings, &currentPage);
    }
    std::string File() const { return FormatSettings(settings, currentPage); }
    PanelSettings settings;
    int currentPage = 0;
};

TEST(SettingsJsonTest, LeftOutKeysKeepTheirValuesAndNamesStandForCodes) {
    Store s;
    s.settings.displayTime[3] = 7;
    s.settings.charColor[9][2] = 4;
    ASSERT_EQ(s.Apply(kHead + R"(, "selectedPage": 5, "sequence": true, "vPosition": 0,
        "pages": [
          {"page": 10, "whiteLevel": "Low", "fill": [7, 1, 1],
           "lines": [{"line": 3, "text": "ようこそ", "borderColour": "シアン", "blink": "4"},
                     {"line": 1, "charColour": "ブランク", "blink": "off"}]},
          {"page": 4, "whiteLevel": 0, "fill": 64},
          {"page": 32, "lines": []}]})"),
              std::vector<std::string>{});
    EXPECT_EQ(s.currentPage, 4);
    EXPECT_EQ(s.settings.sequenceMode, 1);
    EXPECT_EQ(s.settings.vPosition, 0);
    EXPECT_EQ(s.settings.hPosition, 8);
    EXPECT_EQ(s.settings.whiteLevel[9], 0);
    EXPECT_EQ(s.settings.fillMask[9], 0x41);
    EXPECT_EQ(s.settings.whiteLevel[3], 0);
    EXPECT_EQ(s.settings.fillMask[3], 64);
    EXPECT_EQ(s.settings.displayTime[3], 7);
    std::string text;
    ASSERT_TRUE(Utf8ToCp932("ようこそ", &text));
    EXPECT_EQ(s.settings.lineText[9][2], text);
    EXPECT_EQ(s.settings.charColor[9][2], 4);
    EXPECT_EQ(s.settings.edgeColor[9][2], 6);
    EXPECT_EQ(s.settings.blinkMode[9][2], 4);
    EXPECT_EQ(s.settings.charColor[9][0], 8);
    EXPECT_EQ(s.settings.blinkMode[9][0], 0);
}

TEST(SettingsJsonTest, RefusalsNameTheJsonPathAndChangeNothing) {
    struct Case {
        std::string body;  // after format and version
        std::string problem;
    };
    const Case cases[] = {
        {R"(, "hPosition": 16)", "hPosition: 16 is out of range 0..15"},
        {R"(, "vPosition": "8")", "vPosition: must be a whole number, not the string \"8\""},
        {R"(, "selectedPage": 0)", "selectedPage: 0 is out of range 1..32"},
        {R"(, "sequence": null)", "sequence: must be true or false, not null"},
        {R"(, "pages": {"page": 1})", "pages: must be an array, not an object"},
        {R"(, "pages": [1])", "pages[0]: must be an object, not the number 1"},
        {R"(, "pages": [{"whiteLevel": "Low"}])", "pages[0]: no \"page\" number"},
        {R"(, "pages": [{"page": 33}])", "pages[0].page: 33 is not a page number 1..32"},
        {R"(, "pages": [{"page": 2}, {"page": 2}])",
         "pages[1]: page 2 is already given at pages[0]"},
        {R"(, "pages": [{"page": 2, "displayTime": 2.5}])",
         "pages[0].displayTime (page 2): must be a whole number, not the number 2.5"},
        {R"(, "pages": [{"page": 2, "displayTime": 100}])",
         "pages[0].displayTime (page 2): 100 is out of range 0..99"},
        {R"(, "pages": [{"page": 2, "fill": 128}])",
         "pages[0].fill (page 2): 128 is out of range 0..127"},
        {R"(, "pages": [{"page": 2, "fill": [1, 8]}])",
         "pages[0].fill (page 2): [1] is the number 8, not a line number 1..7"},
        {R"(, "pages": [{"page": 2, "whiteLevel": "high"}])",
         "pages[0].whiteLevel (page 2): must be \"Low\" or \"High\" (or 0, 1), not the string "
         "\"high\""},
        {R"(, "pages": [{"page": 2, "lines": [{"line": 1, "charColor": 1}]}])",
         "pages[0].lines[0].charColor (page 2): unknown key (a line has line, text, charColour, "
         "borderColour, blink)"},
        {R"(, "pages": [{"page": 5, "lines": [{"line": 2, "text": "AB"}]}])",
         "pages[0].lines[0].text (page 5 line 2): \"AB\" holds the half-width character \"A\"; the "
         "sign shows full-width characters only"},
        {R"(, "pages": [{"page": 5, "lines": [{"line": 2, "text": ["あ"]}]}])",
         "pages[0].lines[0].text (page 5 line 2): must be a string, not an array"},
        {R"(, "pages": [{"page": 5, "lines": [{"line": 2, "blink": 9}]}])",
         "pages[0].lines[0].blink (page 5 line 2): 9 is out of range 0..4"},
        {R"(, "pages": [{"page": 5, "lines": [{"line": 2, "borderColour": true}]}])",
         "pages[0].lines[0].borderColour (page 5 line 2): must be a colour code 0..8 or one of "
         "\"黒\", \"赤\", \"緑\", \"黄\", \"青\", \"マゼンタ\", \"シアン\", \"白\", \"ブランク\", "
         "not true"},
        {R"(, "pages": [{"page": 5, "lines": [{"line": 2}, {"line": 2}]}])",
         "pages[0].lines[1] (page 5): line 2 is already given at pages[0].lines[0]"},
        {R"(, "colour": 1)",
         "colour: unknown key (the document has format, version, selectedPage, sequence, "
         "hPosition, vPosition, pages)"},
    };
    for (const Case& c : cases) {
        Store s;
        const std::string before = s.File();
        EXPECT_EQ(s.Apply(kHead + c.body + "}"), std::vector<std::string>{c.problem}) << c.body;
        EXPECT_EQ(s.File(), before) << c.body;
    }
    // Every problem is named, not only the first.
    Store s;
    EXPECT_EQ(s.Apply(kHead + R"(, "hPosition": -1, "vPosition": 99})").size(), 2u);
}

TEST(SettingsJsonTest, DocumentsThatAreNotSettings) {
    Store s;
    EXPECT_EQ(
        s.Apply("{\"format\": \"kvt540m-settings\",\n  \"version\": 1,\n  \"pages\": [1,]\n}"),
        std::vector<std::string>{"near line 3, column 16: object is missing after a comma"});
    EXPECT_EQ(s.Apply("[]"),
              std::vector<std::string>{"the document must be a JSON object {\"format\": ...}"});
    EXPECT_EQ(s.Apply(R"({"format": "kvt540m-report", "version": 2, "hPosition": 99})"),
              (std::vector<std::string>{
                  "format: the string \"kvt540m-report\" is not \"kvt540m-settings\"",
                  "version: the number 2 is not a version this program reads (1)"}));
    EXPECT_EQ(s.Apply(R"({"hPosition": 3})"),
              (std::vector<std::string>{"format: missing; the document starts {\"format\": "
                                        "\"kvt540m-settings\", \"version\": 1, ...}",
                                        "version: missing; this program reads version 1"}));
    EXPECT_EQ(s.settings.hPosition, 8);
    // A byte order mark, as some editors write, is no problem.
    EXPECT_EQ(s.Apply("\xEF\xBB\xBF" + kHead + ", \"hPosition\": 3}"), std::vector<std::string>{});
    EXPECT_EQ(s.settings.hPosition, 3);
}

}  // namespace
}  // namespace kvt
