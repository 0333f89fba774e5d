#include "sign_answers.h"

#include "protocol/jis.h"

namespace kvt::sim {

namespace {

const std::string kGo = "GO\r\n";
const std::string kCommandError = "E3\r\n";
constexpr int kLineChars = 14;  // double-byte characters per line on the wire

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A one-digit value the range holds, or -1.
int DigitIn(char c, ValueRange range) { return IsDigit(c) && range.Holds(c - '0') ? c - '0' : -1; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // the host sends upper case only
}

// A two-digit decimal at pos, or -1.
int ParseTwoDigits(const std::string& s, size_t pos) {
    if (!IsDigit(s[pos]) || !IsDigit(s[pos + 1])) return -1;
    return (s[pos] - '0') * 10 + (s[pos + 1] - '0');
}

// Page index of the "pp" field at pos, or -1 outside 01..32.
int PageAt(const std::string& s, size_t pos) {
    int pp = ParseTwoDigits(s, pos);
    return pp >= 1 && pp <= kPageCount ? pp - 1 : -1;
}

int HexByte(const std::string& s, size_t pos) {
    int high = HexValue(s[pos]), low = HexValue(s[pos + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

char Digit(int value) { return static_cast<char>('0' + (value >= 0 && value <= 9 ? value : 0)); }

std::string TwoDigitText(int value) {
    if (value < 0 || value > 99) value = 0;
    return {Digit(value / 10), Digit(value % 10)};
}

std::string PageNumber(int page) { return TwoDigitText(page + 1); }

bool Is(const std::string& line, const char* head, size_t length) {
    return line.size() == length && line.compare(0, std::char_traits<char>::length(head), head) == 0;
}

// "CA"/"CN" pp, 98 JIS codes: stores the seven lines without their trailing
// full-width spaces.
bool SetText(SignState& st, const std::string& line) {
    int page = PageAt(line, 2);
    if (page < 0) return false;
    std::string texts[kLineCount];
    for (int k = 0; k < kLineCount; ++k) {
        std::string text;
        size_t kept = 0;  // bytes up to the last character that is no space
        for (int n = 0; n < kLineChars; ++n) {
            size_t pos = 4 + 4 * (k * kLineChars + n);
            int high = HexByte(line, pos), low = HexByte(line, pos + 2);
            if (high < 0 || low < 0) return false;
            unsigned sjis = JisToShiftJis(static_cast<unsigned>(high * 256 + low));
            if (sjis == 0) return false;
            text += static_cast<char>(sjis >> 8);
            text += static_cast<char>(sjis & 0xFF);
            if (sjis != 0x8140) kept = text.size();
        }
        texts[k] = text.substr(0, kept);
    }
    for (int k = 0; k < kLineCount; ++k) st.settings.lineText[page][k] = texts[k];
    return true;
}

// "PTFB", "PTCT": a two-character value for each page after the head, each
// read by parse (-1: not one); all of them or none go into the field.
bool SetAllPages(const std::string& line, int (*parse)(const std::string&, size_t),
                 int (&field)[kPageCount]) {
    int values[kPageCount];
    for (int p = 0; p < kPageCount; ++p)
        if ((values[p] = parse(line, 4 + 2 * p)) < 0) return false;
    for (int p = 0; p < kPageCount; ++p) field[p] = values[p];
    return true;
}

bool SetFillPage(SignState& st, const std::string& line) {
    int page = PageAt(line, 1), mask = HexByte(line, 7);
    if (page < 0 || mask < 0) return false;
    st.settings.fillMask[page] = mask;
    return true;
}

bool SetWhiteAll(SignState& st, const std::string& line) {
    for (int p = 0; p < kPageCount; ++p)
        if (line[4 + p] != 'H' && line[4 + p] != 'L') return false;
    for (int p = 0; p < kPageCount; ++p) st.settings.whiteLevel[p] = line[4 + p] == 'H';
    return true;
}

bool SetColours(SignState& st, const std::string& line) {
    int page = PageAt(line, 1);
    if (page < 0) return false;
    for (size_t i = 7; i < 21; ++i)
        if (DigitIn(line[i], kColourRange) < 0) return false;
    for (int k = 0; k < kLineCount; ++k) {
        st.settings.charColor[page][k] = line[7 + 2 * k] - '0';
        st.settings.edgeColor[page][k] = line[8 + 2 * k] - '0';
    }
    return true;
}

bool SetBlink(SignState& st, const std::string& line) {
    int page = PageAt(line, 1);
    if (page < 0) return false;
    for (size_t i = 7; i < 14; ++i)
        if (DigitIn(line[i], kBlinkRange) < 0) return false;
    for (int k = 0; k < kLineCount; ++k) st.settings.blinkMode[page][k] = line[7 + k] - '0';
    return true;
}

bool SetPageSelect(SignState& st, const std::string& line) {
    if (line.compare(1, 2, "AS") == 0) {
        st.settings.sequenceMode = 1;
        return true;
    }
    int page = PageAt(line, 1);
    if (page < 0) return false;
    st.settings.sequenceMode = 0;
    st.currentPage = page;
    return true;
}

bool SetPosition(const std::string& line, int* position) {
    int value = ParseTwoDigits(line, 2);
    if (!kPositionRange.Holds(value)) return false;
    *position = value;
    return true;
}

// The set commands; true when the line was one of them and was applied.
bool ApplySetCommand(SignState& st, const std::string& line) {
    PanelSettings& s = st.settings;
    if (line.size() == 398 && line[0] == 'C' && (line[1] == 'A' || line[1] == 'N')) return SetText(st, line);
    if (Is(line, "PTFB", 70)) return SetAllPages(line, HexByte, s.fillMask);
    if (Is(line, "PTWL", 38)) return SetWhiteAll(st, line);
    if (Is(line, "PTCT", 70)) return SetAllPages(line, ParseTwoDigits, s.displayTime);
    if (Is(line, "PH", 6)) return SetPosition(line, &s.hPosition);
    if (Is(line, "PV", 6)) return SetPosition(line, &s.vPosition);
    if (line == "IDON\r\n" || line == "IDOF\r\n") {
        st.displayOn = line[2] == 'O' && line[3] == 'N';
        return true;
    }
    if (Is(line, "P", 11) && line.compare(3, 4, "FBLT") == 0) return SetFillPage(st, line);
    if (Is(line, "P", 23) && line.compare(3, 4, "ICLT") == 0) return SetColours(st, line);
    if (Is(line, "P", 16) && line.compare(3, 4, "BDLT") == 0) return SetBlink(st, line);
    if (Is(line, "P", 5)) return SetPageSelect(st, line);
    return false;
}

// "CA" pp and the page's 98 JIS codes. A line that cannot travel (odd
// bytes, a character without a JIS code) shows full-width spaces there.
std::string TextReply(const PanelSettings& s, int page) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string reply = "CA" + PageNumber(page);
    for (int k = 0; k < kLineCount; ++k) {
        std::string text = s.lineText[page][k].substr(0, 2 * kLineChars);
        while (text.size() < 2 * kLineChars) text += text.size() % 2 ? "\x40" : "\x81\x40";
        for (size_t i = 0; i < text.size(); i += 2) {
            unsigned sjis = static_cast<unsigned char>(text[i]) * 256u + static_cast<unsigned char>(text[i + 1]);
            unsigned jis = ToJisCode(sjis);
            if (jis == 0) jis = 0x2121;
            for (int shift = 12; shift >= 0; shift -= 4) reply += kHex[(jis >> shift) & 0xF];
        }
    }
    return reply + "\r\n";
}

std::string BlinkReply(const PanelSettings& s, int page) {
    std::string reply = "P" + PageNumber(page) + "BDLT";
    for (int k = 0; k < kLineCount; ++k) reply += s.blinkMode[page][k] ? 'N' : 'F';
    return reply + "\r\n";
}

std::string ColourReply(const PanelSettings& s, int page) {
    std::string reply = "P" + PageNumber(page) + "COLR";
    for (int k = 0; k < kLineCount; ++k) {
        reply += Digit(s.charColor[page][k]);
        reply += Digit(s.edgeColor[page][k]);
    }
    return reply + "\r\n";
}

std::string AllPagesReply(const char* head, const int (&values)[kPageCount], char set, char unset) {
    std::string reply = head;
    for (int p = 0; p < kPageCount; ++p) reply += values[p] ? set : unset;
    return reply + "\r\n";
}

// The read requests; "" when the line is none of them.
std::string AnswerReadRequest(const SignState& st, const std::string& line) {
    const PanelSettings& s = st.settings;
    if (Is(line, "RCA", 7) && PageAt(line, 3) >= 0) return TextReply(s, PageAt(line, 3));
    if (Is(line, "RP", 10) && PageAt(line, 2) >= 0) {
        if (line.compare(4, 4, "BDLT") == 0) return BlinkReply(s, PageAt(line, 2));
        if (line.compare(4, 4, "ICLT") == 0) return ColourReply(s, PageAt(line, 2));
    }
    if (line == "RP\r\n") {
        int page = st.currentPage >= 0 && st.currentPage < kPageCount ? st.currentPage : 0;
        return std::string("P0") + static_cast<char>('1' + page) + "0\r\n";
    }
    if (line == "RPTCT\r\n") {
        std::string reply = "PTCT";
        for (int p = 0; p < kPageCount; ++p) reply += TwoDigitText(s.displayTime[p]);
        return reply + "\r\n";
    }
    if (line == "RPTFB\r\n")
        return AllPagesReply("PTFB", s.fillMask, 'N', 'F');
    if (line == "RPTWL\r\n")
        return AllPagesReply("PTWL", s.whiteLevel, 'H', 'L');
    if (line == "RPH\r\n") return "PH" + TwoDigitText(s.hPosition) + "\r\n";
    if (line == "RPV\r\n") return "PV" + TwoDigitText(s.vPosition) + "\r\n";
    return "";
}

}  // namespace

std::string AnswerLine(SignState& st, const std::string& line) {
    if (line.size() < 4 || line.compare(line.size() - 2, 2, "\r\n") != 0) return kCommandError;
    std::string reply = AnswerReadRequest(st, line);
    if (!reply.empty()) return reply;
    return ApplySetCommand(st, line) ? kGo : kCommandError;
}

}  // namespace kvt::sim
