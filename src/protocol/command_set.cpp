#include "protocol/command_set.h"

#include "protocol/jis.h"
#include "serial/command_port.h"
#include "serial/message_box.h"
#include "settings/panel_settings.h"

namespace kvt {

const char* const kJisMessage = "ＪＩＳ第１水準,第２水準以外の字が選択されてます";
const char* const kCantSetMessage = "Miss! Can't Set";

int displayOn = 1;

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr size_t kLineBytes = 28;       // 14 double-byte characters
constexpr size_t kPageTextBytes = 196;  // 7 lines

char HexDigit(unsigned value) {
    value &= 0xF;
    return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

// Two decimal digits of a value the caller has checked to be 0..99.
std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
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

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// Rejects a value that only a hand-edited file (or a caller of the library)
// can bring, so that no byte outside the field's digits can reach the wire.
// The value is wide enough for a page number shown one above its index.
Command OutOfRange(const std::string& what, long long value, int low, int high) {
    return Reject(Rejection::OutOfRange, "Value out of range: " + what + " is " +
                                             std::to_string(value) + " (" + std::to_string(low) +
                                             ".." + std::to_string(high) + ")");
}

std::string PageName(int page) { return "page " + std::to_string(page + 1); }

std::string LineName(int page, int line) {
    return PageName(page) + " line " + std::to_string(line + 1);
}

bool ValidPage(int page) { return InRange(page, 0, kPageCount - 1); }

Command BadPage(int page) {
    return OutOfRange("page number", static_cast<long long>(page) + 1, 1, kPageCount);
}

// "P" pp, the head of the one-page commands.
std::string PageHead(int page) { return "P" + TwoDigits(page + 1); }

}  // namespace

bool MakePageText(int page, std::string* pageText) {
    if (!ValidPage(page) || pageText == nullptr) return false;
    std::string text;
    text.reserve(kPageTextBytes);
    for (int k = 0; k < kLineCount; ++k) {
        const std::string& line = panelSettings.lineText[page][k];
        if (line.size() > kLineBytes || line.size() % 2 != 0) return false;
        text += line;
        for (size_t n = line.size(); n < kLineBytes; n += 2) text += "\x81\x40";  // "　"
    }
    *pageText = text;
    return true;
}

Command BuildTextCommand(char storeLetter, int page) {
    if (!ValidPage(page)) return BadPage(page);
    if (storeLetter != 'A' && storeLetter != 'N') {
        return Reject(Rejection::OutOfRange, "Value out of range: store letter (A or N)");
    }
    std::string pageText;
    if (!MakePageText(page, &pageText)) return Reject(Rejection::NotJis, kJisMessage);
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

Command BuildFillBorderAll() {
    std::string line = "PTFB";
    for (int p = 0; p < kPageCount; ++p) line += HexByte(panelSettings.fillMask[p]);
    return Line(line + kCrLf);
}

Command BuildFillBorderPage(int page) {
    if (!ValidPage(page)) return BadPage(page);
    return Line(PageHead(page) + "FBLT" + HexByte(panelSettings.fillMask[page]) + kCrLf);
}

Command BuildWhiteLevelAll() {
    std::string line = "PTWL";
    for (int p = 0; p < kPageCount; ++p) line += panelSettings.whiteLevel[p] != 0 ? 'H' : 'L';
    return Line(line + kCrLf);
}

Command BuildColourPage(int page) {
    if (!ValidPage(page)) return BadPage(page);
    const PanelSettings& s = panelSettings;
    for (int k = 0; k < kLineCount; ++k) {
        if (s.charColor[page][k] == 8 && s.edgeColor[page][k] == 8) {
            return Reject(Rejection::BlankColour, kCantSetMessage);
        }
    }
    std::string line = PageHead(page) + "ICLT";
    for (int k = 0; k < kLineCount; ++k) {
        const int fore = s.charColor[page][k];
        const int edge = s.edgeColor[page][k];
        if (!InRange(fore, 0, 8)) {
            return OutOfRange("character colour of " + LineName(page, k), fore, 0, 8);
        }
        if (!InRange(edge, 0, 8)) {
            return OutOfRange("border colour of " + LineName(page, k), edge, 0, 8);
        }
        line += static_cast<char>('0' + fore);
        line += static_cast<char>('0' + edge);
    }
    return Line(line + kCrLf);
}

Command BuildBlinkPage(int page) {
    if (!ValidPage(page)) return BadPage(page);
    std::string line = PageHead(page) + "BDLT";
    for (int k = 0; k < kLineCount; ++k) {
        const int mode = panelSettings.blinkMode[page][k];
        if (!InRange(mode, 0, 4)) return OutOfRange("blink of " + LineName(page, k), mode, 0, 4);
        line += static_cast<char>('0' + mode);
    }
    return Line(line + kCrLf);
}

Command BuildDisplayOnOff() { return Line(displayOn != 0 ? "IDON\r\n" : "IDOF\r\n"); }

Command BuildPageSelect() {
    if (panelSettings.sequenceMode != 0) return Line("PAS\r\n");
    if (!ValidPage(currentPage)) return OutOfRange("selected page", currentPage, 0, kPageCount - 1);
    return Line(PageHead(currentPage) + kCrLf);
}

Command BuildDisplayTimeAll() {
    std::string line = "PTCT";
    for (int p = 0; p < kPageCount; ++p) {
        const int seconds = panelSettings.displayTime[p];
        if (!InRange(seconds, 0, 99)) {
            return OutOfRange("display time of " + PageName(p), seconds, 0, 99);
        }
        line += TwoDigits(seconds);
    }
    return Line(line + kCrLf);
}

Command BuildHPosition() {
    const int value = panelSettings.hPosition;
    if (!InRange(value, 0, 15)) return OutOfRange("horizontal position", value, 0, 15);
    return Line("PH" + TwoDigits(value) + kCrLf);
}

Command BuildVPosition() {
    const int value = panelSettings.vPosition;
    if (!InRange(value, 0, 15)) return OutOfRange("vertical position", value, 0, 15);
    return Line("PV" + TwoDigits(value) + kCrLf);
}

bool Dispatch(const Command& command) {
    switch (command.rejection) {
    case Rejection::None:
        // An empty line (the all-items run's re-arming step) sends nothing.
        if (!command.line.empty()) SendCommand(command.line);
        return false;
    case Rejection::BlankColour:
        // Shown like the link's own errors, but the port stays open.
        PortStyleBox(command.message);
        return true;
    case Rejection::NotJis:
    case Rejection::OutOfRange:
        WarningBox(command.message);
        return true;
    }
    return true;
}

bool SendTextCommand(char storeLetter, int page) {
    return Dispatch(BuildTextCommand(storeLetter, page));
}
bool SendFillBorderAll() { return Dispatch(BuildFillBorderAll()); }
bool SendFillBorderPage(int page) { return Dispatch(BuildFillBorderPage(page)); }
bool SendWhiteLevelAll() { return Dispatch(BuildWhiteLevelAll()); }
bool SendColourPage(int page) { return Dispatch(BuildColourPage(page)); }
bool SendBlinkPage(int page) { return Dispatch(BuildBlinkPage(page)); }
bool SendDisplayOnOff() { return Dispatch(BuildDisplayOnOff()); }
bool SendPageSelect() { return Dispatch(BuildPageSelect()); }
bool SendDisplayTimeAll() { return Dispatch(BuildDisplayTimeAll()); }
bool SendHPosition() { return Dispatch(BuildHPosition()); }
bool SendVPosition() { return Dispatch(BuildVPosition()); }

}  // namespace kvt
