#include "protocol/command_set.h"

#include "protocol/jis.h"
#include "protocol/slave_list.h"
#include "settings/translatable.h"

namespace kvt {

const char* const kJisMessage =
    QT_TRANSLATE_NOOP("kvt::Box", "ＪＩＳ第１水準,第２水準以外の字が選択されてます");
const char* const kCantSetMessage = "Miss! Can't Set";

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr size_t kLineBytes = 28;       // 14 double-byte characters
constexpr size_t kPageTextBytes = 196;  // 7 lines

char HexDigit(unsigned value) {
    value &= 0xF;
    return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

// The low eight bits, as two hexadecimal digits.
std::string HexByte(int value) {
    const unsigned byte = static_cast<unsigned>(value) & 0xFF;
    return {HexDigit(byte >> 4), HexDigit(byte)};
}

std::string Hex4(unsigned value) {
    return {HexDigit(value >> 12), HexDigit(value >> 8), HexDigit(value >> 4), HexDigit(value)};
}

Command Line(std::string line) {
    Command c;
    c.line = std::move(line);
    return c;
}

Command Reject(Rejection why, std::string message) {
    Command c;
    c.rejection = why;
    c.message = std::move(message);
    return c;
}

// Rejects a value that only a hand-edited file (or a caller of the library)
// can bring, so that no byte outside the field's digits can reach the wire.
// The value is wide enough for a page number shown one above its index.
Command OutOfRange(const std::string& what, long long value, ValueRange range) {
    return Reject(Rejection::OutOfRange, "Value out of range: " + what + " is " +
                                             std::to_string(value) + " (" + RangeText(range) + ")");
}

constexpr ValueRange kPageIndexRange{0, kPageCount - 1};

std::string PageName(int page) { return "page " + std::to_string(page + 1); }

std::string LineName(int page, int line) {
    return PageName(page) + " line " + std::to_string(line + 1);
}

bool ValidPage(int page) { return kPageIndexRange.Holds(page); }

Command BadPage(int page) {
    return OutOfRange("page number", static_cast<long long>(page) + 1, {1, kPageCount});
}

// "P" pp, the head of the one-page commands.
std::string PageHead(int page) { return "P" + TwoDigits(page + 1); }

}  // namespace

bool MakePageText(const PanelSettings& s, int page, std::string* pageText) {
    if (!ValidPage(page) || pageText == nullptr) return false;
    std::string text;
    text.reserve(kPageTextBytes);
    for (int k = 0; k < kLineCount; ++k) {
        const std::string& line = s.lineText[page][k];
        if (line.size() > kLineBytes || line.size() % 2 != 0) return false;
        text += line;
        for (size_t n = line.size(); n < kLineBytes; n += 2) text += "\x81\x40";  // "　"
    }
    *pageText = text;
    return true;
}

Command BuildTextCommand(const PanelSettings& s, char storeLetter, int page) {
    if (!ValidPage(page)) return BadPage(page);
    if (storeLetter != 'A' && storeLetter != 'N') {
        return Reject(Rejection::OutOfRange, "Value out of range: store letter (A or N)");
    }
    std::string pageText;
    if (!MakePageText(s, page, &pageText)) return Reject(Rejection::NotJis, kJisMessage);
    std::string line = std::string("C") + storeLetter + TwoDigits(page + 1);
    for (size_t n = 0; n < pageText.size(); n += 2) {
        const unsigned sjis = static_cast<unsigned char>(pageText[n]) * 256u +
                              static_cast<unsigned char>(pageText[n + 1]);
        const unsigned jis = ToJisCode(sjis);
        if (jis == 0) return Reject(Rejection::NotJis, kJisMessage);
        line += Hex4(jis);
    }
    return Line(line + kCrLf);
}

Command BuildFillBorderAll(const PanelSettings& s) {
    std::string line = "PTFB";
    for (int p = 0; p < kPageCount; ++p) line += HexByte(s.fillMask[p]);
    return Line(line + kCrLf);
}

Command BuildFillBorderPage(const PanelSettings& s, int page) {
    if (!ValidPage(page)) return BadPage(page);
    return Line(PageHead(page) + "FBLT" + HexByte(s.fillMask[page]) + kCrLf);
}

Command BuildWhiteLevelAll(const PanelSettings& s) {
    std::string line = "PTWL";
    for (int p = 0; p < kPageCount; ++p) line += s.whiteLevel[p] != 0 ? 'H' : 'L';
    return Line(line + kCrLf);
}

Command BuildColourPage(const PanelSettings& s, int page) {
    if (!ValidPage(page)) return BadPage(page);
    for (int k = 0; k < kLineCount; ++k) {
        if (s.charColor[page][k] == kBlankColour && s.edgeColor[page][k] == kBlankColour) {
            return Reject(Rejection::BlankColour, kCantSetMessage);
        }
    }
    std::string line = PageHead(page) + "ICLT";
    for (int k = 0; k < kLineCount; ++k) {
        const int fore = s.charColor[page][k];
        const int edge = s.edgeColor[page][k];
        if (!kColourRange.Holds(fore)) {
            return OutOfRange("character colour of " + LineName(page, k), fore, kColourRange);
        }
        if (!kColourRange.Holds(edge)) {
            return OutOfRange("border colour of " + LineName(page, k), edge, kColourRange);
        }
        line += static_cast<char>('0' + fore);
        line += static_cast<char>('0' + edge);
    }
    return Line(line + kCrLf);
}

Command BuildBlinkPage(const PanelSettings& s, int page) {
    if (!ValidPage(page)) return BadPage(page);
    std::string line = PageHead(page) + "BDLT";
    for (int k = 0; k < kLineCount; ++k) {
        const int mode = s.blinkMode[page][k];
        if (!kBlinkRange.Holds(mode)) return OutOfRange("blink of " + LineName(page, k), mode, kBlinkRange);
        line += static_cast<char>('0' + mode);
    }
    return Line(line + kCrLf);
}

Command BuildDisplayOnOff(int displayOn) { return Line(displayOn != 0 ? "IDON\r\n" : "IDOF\r\n"); }

Command BuildPageSelect(const PanelSettings& s, int currentPage) {
    if (s.sequenceMode != 0) return Line("PAS\r\n");
    if (!ValidPage(currentPage)) return OutOfRange("selected page", currentPage, kPageIndexRange);
    return Line(PageHead(currentPage) + kCrLf);
}

Command BuildDisplayTimeAll(const PanelSettings& s) {
    std::string line = "PTCT";
    for (int p = 0; p < kPageCount; ++p) {
        const int seconds = s.displayTime[p];
        if (!kDisplayTimeRange.Holds(seconds)) {
            return OutOfRange("display time of " + PageName(p), seconds, kDisplayTimeRange);
        }
        line += TwoDigits(seconds);
    }
    return Line(line + kCrLf);
}

Command BuildHPosition(const PanelSettings& s) {
    const int value = s.hPosition;
    if (!kPositionRange.Holds(value)) return OutOfRange("horizontal position", value, kPositionRange);
    return Line("PH" + TwoDigits(value) + kCrLf);
}

Command BuildVPosition(const PanelSettings& s) {
    const int value = s.vPosition;
    if (!kPositionRange.Holds(value)) return OutOfRange("vertical position", value, kPositionRange);
    return Line("PV" + TwoDigits(value) + kCrLf);
}

std::string SlavePrefix(int lineMode, int slaveNo) {
    if (lineMode == 0 || !ValueRange{0, kLastSlave}.Holds(slaveNo)) return "";
    return TwoDigits(slaveNo);
}

}  // namespace kvt
