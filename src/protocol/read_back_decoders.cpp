#include "protocol/read_back_decoders.h"

#include "protocol/jis.h"

namespace kvt {

namespace {

// Lengths of the reply layouts, CR LF not counted.
constexpr size_t kTextReplyLength = 396;
constexpr size_t kDisplayTimeReplyLength = 68;
constexpr size_t kPerPageLetterReplyLength = 36;  // "PTFB", "PTWL"
constexpr size_t kPositionReplyLength = 4;
constexpr size_t kPageReplyLength = 4;
constexpr size_t kBlinkReplyLength = 14;
constexpr size_t kColourReplyLength = 21;

constexpr unsigned kFullWidthSpace = 0x2121;
constexpr unsigned kLastAcceptedCode = 0x7C7E;

// Whether the reply holds at least `length` characters before its line end.
bool Fits(const std::string& text, size_t length) {
    size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n') --end;
    if (end > 0 && text[end - 1] == '\r') --end;
    return end >= length;
}

int Code(const std::string& text, size_t pos) { return static_cast<unsigned char>(text[pos]); }

int Digit(const std::string& text, size_t pos) { return Code(text, pos) - '0'; }

int TwoDigits(const std::string& text, size_t pos) {
    return Digit(text, pos) * 10 + Digit(text, pos + 1);
}

unsigned HexValue(int c) {
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c > '9' ? c - 55 : c - '0');
}

// One byte from two hexadecimal digits, high digit first.
unsigned HexPair(const std::string& text, size_t pos) {
    return (HexValue(Code(text, pos)) * 16 + HexValue(Code(text, pos + 1))) & 0xFF;
}

// The page index of a pp field, or -1 when it names no page 1..32.
int PageIndex(const std::string& text, size_t pos) {
    const int page = TwoDigits(text, pos) - 1;
    return page >= 0 && page < kPageCount ? page : -1;
}

// One line of a text reply: its 14 JIS codes as Shift-JIS bytes, without the
// full-width spaces at its end, cut before the first unconvertible code.
std::string DecodeLine(const unsigned (&codes)[14]) {
    int kept = 14;
    while (kept > 0 && codes[kept - 1] == kFullWidthSpace) --kept;
    std::string line;
    for (int i = 0; i < kept; ++i) {
        const unsigned jis = codes[i] > kLastAcceptedCode ? kFullWidthSpace : codes[i];
        const unsigned sjis = JisToShiftJis(jis);
        if (sjis == 0) break;
        line += static_cast<char>(sjis >> 8);
        line += static_cast<char>(sjis & 0xFF);
    }
    return line;
}

}  // namespace

void DecodeTextReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kTextReplyLength)) return;
    const int page = PageIndex(text, 2);
    if (page < 0) return;
    for (int k = 0; k < kLineCount; ++k) {
        unsigned codes[14];
        for (int i = 0; i < 14; ++i) {
            const size_t pos = 4 + 4 * static_cast<size_t>(14 * k + i);
            codes[i] = HexPair(text, pos) * 256 + HexPair(text, pos + 2);
        }
        s->lineText[page][k] = DecodeLine(codes);
    }
}

void DecodeDisplayTimeReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kDisplayTimeReplyLength)) return;
    for (int p = 0; p < kPageCount; ++p) s->displayTime[p] = TwoDigits(text, 4 + 2 * p);
}

void DecodeFillBorderReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kPerPageLetterReplyLength)) return;
    for (int p = 0; p < kPageCount; ++p) s->fillMask[p] = text[4 + p] == 'N' ? 1 : 0;
}

void DecodeWhiteLevelReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kPerPageLetterReplyLength)) return;
    for (int p = 0; p < kPageCount; ++p) s->whiteLevel[p] = text[4 + p] == 'H' ? 1 : 0;
}

void DecodeHPositionReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kPositionReplyLength)) return;
    s->hPosition = TwoDigits(text, 2);
}

void DecodeVPositionReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kPositionReplyLength)) return;
    s->vPosition = TwoDigits(text, 2);
}

void DecodePageReply(const std::string& text, int* currentPage) {
    if (!Fits(text, kPageReplyLength)) return;
    const int page = Code(text, 2) - '1';
    if (page < 0 || page >= kPageCount) return;
    *currentPage = page;
}

void DecodeBlinkReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kBlinkReplyLength)) return;
    const int page = PageIndex(text, 1);
    if (page < 0) return;
    for (int k = 0; k < kLineCount; ++k) {
        s->blinkMode[page][k] = text[7 + k] == 'N' ? 1 : 0;
    }
}

void DecodeColourReply(const std::string& text, PanelSettings* s) {
    if (!Fits(text, kColourReplyLength)) return;
    const int page = PageIndex(text, 1);
    if (page < 0) return;
    for (int k = 0; k < kLineCount; ++k) {
        s->charColor[page][k] = Digit(text, 7 + 2 * k);
        s->edgeColor[page][k] = Digit(text, 8 + 2 * k);
    }
}


namespace {
bool StartsWith(const std::string& text, const char* head) { return text.rfind(head, 0) == 0; }
}  // namespace

bool DecodeReadBackReply(const std::string& text, PanelSettings* s, int* currentPage) {
    if (StartsWith(text, "CA")) DecodeTextReply(text, s);
    else if (StartsWith(text, "PTCT")) DecodeDisplayTimeReply(text, s);
    else if (StartsWith(text, "PTFB")) DecodeFillBorderReply(text, s);
    else if (StartsWith(text, "PTWL")) DecodeWhiteLevelReply(text, s);
    else if (StartsWith(text, "PH")) DecodeHPositionReply(text, s);
    else if (StartsWith(text, "PV")) DecodeVPositionReply(text, s);
    else if (!StartsWith(text, "P")) return false;
    else if (text.size() > 4 && text[4] == '\r') DecodePageReply(text, currentPage);
    else if (text.size() > 3 && text[3] == 'B') DecodeBlinkReply(text, s);
    else if (text.size() > 3 && text[3] == 'C') DecodeColourReply(text, s);
    return true;
}

namespace {

const struct {
    const char* reply;
    SignError error;
    const char* text;
} kSignErrors[] = {
    {"GN\r\n", SignError::ModeError, "Mode Error"},
    {"MENU\r\n", SignError::MenuDisplay, "Menu Display"},
    {"E0\r\n", SignError::FramingError, "Framing Error"},
    {"E1\r\n", SignError::ParityError, "Parity Error"},
    {"E2\r\n", SignError::OverRunError, "Over Run Error"},
    {"E3\r\n", SignError::CommandError, "Command Error"},
};

}  // namespace

bool ErrorReplyOf(const std::string& replyText, SignError* error) {
    for (const auto& e : kSignErrors) {
        if (replyText != e.reply) continue;
        *error = e.error;
        return true;
    }
    return false;
}

const char* SignErrorText(SignError error) {
    for (const auto& e : kSignErrors)
        if (e.error == error) return e.text;
    return "";
}

}  // namespace kvt
