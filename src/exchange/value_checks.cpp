#include "exchange/value_checks.h"

#include <QList>
#include <QString>
#include <QStringDecoder>
#include <climits>
#include <cstdio>

#include "protocol/command_set.h"
#include "protocol/jis.h"
#include "settings/cp932.h"
#include "settings/panel_settings.h"
#include "text/clipped.h"

namespace kvt {

namespace {

constexpr size_t kMaxLineBytes = 28;

// The settings file separates its values with these bytes, so a text cannot
// hold them; nor a NUL, which ends a text when the file is read.
bool IsUnsaveableByte(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0;
}

// The first character of the text that has no code-page-932 form.
std::string FirstUnconvertible(const std::string& utf8) {
    for (uint c : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUcs4()) {
        const char32_t one32 = c;
        const QByteArray one = QString::fromUcs4(&one32, 1).toUtf8();
        std::string ignored;
        if (!Utf8ToCp932(one.toStdString(), &ignored)) return one.toStdString();
    }
    return "";
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Names the first character of a line the sign refused: a half-width one, or
// a two-byte one without a JIS code.
std::string RefusedCharacter(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (!IsLeadByte(lead) || i + 1 == bytes.size())
            return "holds the half-width character " + Quoted(Cp932ToUtf8(bytes.substr(i, 1))) +
                   "; the sign shows full-width characters only";
        const unsigned sjis = lead * 256u + static_cast<unsigned char>(bytes[i + 1]);
        if (ToJisCode(sjis) == 0)
            return "holds " + Quoted(Cp932ToUtf8(bytes.substr(i, 2))) +
                   ", which is not a JIS level 1 or 2 character";
        i += 2;
    }
    return std::string("cannot be sent: ") + kJisMessage;
}

// Whether the sign takes the line, by the rules of the text command.
bool SignTakesLine(const std::string& bytes) {
    PanelSettings scratch;
    ResetPanelSettings(&scratch);
    scratch.lineText[0][0] = bytes;
    return !BuildTextCommand(scratch, 'A', 0).rejected();
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseInteger(const std::string& text, int* value) {
    const std::string t = TrimBlanks(text);
    const bool negative = !t.empty() && t[0] == '-';
    size_t at = negative ? 1 : 0;
    if (at == t.size()) return false;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long n = 0;
    for (; at < t.size(); ++at) {
        if (t[at] < '0' || t[at] > '9') return false;
        n = n * 10 + (t[at] - '0');
        if (n > limit) return false;
    }
    *value = static_cast<int>(negative ? -n : n);
    return true;
}

std::string RangeProblem(int value, int old, ValueRange range) {
    if (value == old || range.Holds(value)) return "";
    return std::to_string(value) + " is out of range " + RangeText(range);
}

std::string ColourNameList(const char* quote) {
    std::string list;
    for (const char* name : kColourNames)
        list += (list.empty() ? "" : ", ") + std::string(quote) + name + quote;
    return list;
}

bool ParseColour(const std::string& text, int* code) {
    const std::string t = TrimBlanks(text);
    for (int c = 0; c < kColourRange.count(); ++c) {
        if (t == kColourNames[c]) {
            *code = c;
            return true;
        }
    }
    return ParseInteger(t, code);
}

bool ParseBlink(const std::string& text, int* code) {
    const std::string t = TrimBlanks(text);
    if (QString::fromStdString(t).compare("OFF", Qt::CaseInsensitive) == 0) {
        *code = 0;
        return true;
    }
    return ParseInteger(t, code);
}

std::string LineTextProblem(const std::string& utf8, const std::string& oldBytes,
                            std::string* bytes) {
    if (utf8 == Cp932ToUtf8(oldBytes)) {
        *bytes = oldBytes;
        return "";
    }
    if (!IsUtf8(utf8)) return "is not UTF-8 text";
    std::string converted;
    if (!Utf8ToCp932(utf8, &converted))
        return "holds " + Quoted(FirstUnconvertible(utf8)) + ", which code page 932 does not have";
    for (unsigned char c : converted)
        if (IsUnsaveableByte(c))
            return "holds a half-width blank, tab, line break or NUL, which a settings file cannot "
                   "hold";
    if (converted.size() > kMaxLineBytes)
        return "is " + std::to_string(converted.size()) +
               " bytes long; a line holds at most 28 bytes (14 full-width characters)";
    if (!SignTakesLine(converted)) return RefusedCharacter(converted);
    *bytes = converted;
    return "";
}

std::string Shown(const std::string& utf8) {
    std::string out;
    char hex[8];
    for (unsigned char c : Clipped(utf8)) {
        if (c < 0x20 || c == 0x7F) {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Quoted(const std::string& utf8) { return "\"" + Shown(utf8) + "\""; }

bool IsUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString ignored =
        decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

}  // namespace kvt
