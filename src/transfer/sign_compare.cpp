#include "transfer/sign_compare.h"

#include <cstdio>

#include "protocol/command_set.h"
#include "protocol/read_back_decoders.h"
#include "protocol/slave_list.h"
#include "settings/cp932.h"

namespace kvt {

namespace {

std::string PageLabel(int p) { return "page " + TwoDigits(p + 1); }
std::string LineLabel(int p, int k) { return PageLabel(p) + " line " + std::to_string(k + 1); }

std::string Named(const char* const* names, int count, int value) {
    const std::string name = value >= 0 && value < count ? names[value] : "?";
    return name + " (" + std::to_string(value) + ")";
}

std::string Quoted(const std::string& cp932) { return "\"" + Cp932ToUtf8(cp932) + "\""; }

std::string OnOff(int value) { return value != 0 ? "on" : "off"; }

class Differences {
public:
    void Add(const std::string& what, const std::string& file, const std::string& sign) {
        if (file != sign) lines.push_back(what + ": file " + file + ", sign " + sign);
    }
    std::vector<std::string> lines;
};

// The texts of a page as the sign would report them after it was sent:
// trailing full-width spaces gone, codes without a Shift-JIS form cut.
void TextsAsTheyTravel(const PanelSettings& file, int page, PanelSettings* into) {
    const Command text = BuildTextCommand(file, 'A', page);
    if (!text.rejected()) DecodeTextReply(text.line, into);
}

}  // namespace

std::vector<std::string> CompareWithSign(const PanelSettings& file, int fileCurrentPage,
                                         const PanelSettings& sign, int signCurrentPage) {
    PanelSettings expected = file;
    Differences d;
    for (int p = 0; p < kPageCount; ++p) {
        TextsAsTheyTravel(file, p, &expected);
        for (int k = 0; k < kLineCount; ++k) {
            d.Add(LineLabel(p, k) + " text", Quoted(expected.lineText[p][k]),
                  Quoted(sign.lineText[p][k]));
            d.Add(LineLabel(p, k) + " character colour", Named(kColourNames, kColourRange.count(), file.charColor[p][k]),
                  Named(kColourNames, kColourRange.count(), sign.charColor[p][k]));
            d.Add(LineLabel(p, k) + " border colour", Named(kColourNames, kColourRange.count(), file.edgeColor[p][k]),
                  Named(kColourNames, kColourRange.count(), sign.edgeColor[p][k]));
            d.Add(LineLabel(p, k) + " blink", OnOff(file.blinkMode[p][k]),
                  OnOff(sign.blinkMode[p][k]));
        }
        d.Add(PageLabel(p) + " fill bordering", OnOff(file.fillMask[p]), OnOff(sign.fillMask[p]));
        // Any value but 0 goes to the sign as High.
        d.Add(PageLabel(p) + " white level", Named(kWhiteLevelNames, kWhiteLevelRange.count(), file.whiteLevel[p] != 0),
              Named(kWhiteLevelNames, kWhiteLevelRange.count(), sign.whiteLevel[p]));
        d.Add(PageLabel(p) + " display time", std::to_string(file.displayTime[p]) + " s",
              std::to_string(sign.displayTime[p]) + " s");
    }
    if (file.sequenceMode == 0)
        d.Add("selected page", TwoDigits(fileCurrentPage + 1), TwoDigits(signCurrentPage + 1));
    d.Add("H position", std::to_string(file.hPosition), std::to_string(sign.hPosition));
    d.Add("V position", std::to_string(file.vPosition), std::to_string(sign.vPosition));
    return d.lines;
}

}  // namespace kvt
