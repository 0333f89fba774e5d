// Reading the JSON form of a settings file into a copy of the store.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <climits>
#include <cmath>
#include <initializer_list>

#include "exchange/problem_list.h"
#include "exchange/settings_json.h"
#include "exchange/value_checks.h"

namespace kvt {

namespace {

const char* const kFormat = "kvt540m-settings";
constexpr int kVersion = 1;

std::string Describe(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Null:
        return "null";
    case QJsonValue::Bool:
        return v.toBool() ? "true" : "false";
    case QJsonValue::Double:
        return "the number " + QString::number(v.toDouble()).toStdString();
    case QJsonValue::String:
        return "the string " + Quoted(v.toString().toStdString());
    case QJsonValue::Array:
        return "an array";
    case QJsonValue::Object:
        return "an object";
    default:
        return "nothing";
    }
}

// A JSON number without a fraction, exactly representable.
bool WholeNumber(const QJsonValue& v, long long* n) {
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    if (d != std::trunc(d) || std::fabs(d) > 9.0e15) return false;
    *n = static_cast<long long>(d);
    return true;
}

// Each kind of value: read into an int, or say why not ("" when read).
using Decode = std::string (*)(const QJsonValue&, int*);

std::string AsInteger(const QJsonValue& v, int* out) {
    long long n = 0;
    if (!WholeNumber(v, &n)) return "must be a whole number, not " + Describe(v);
    if (n < INT_MIN || n > INT_MAX) return std::to_string(n) + " is out of range";
    *out = static_cast<int>(n);
    return "";
}

// A name in a string, or a code as a number.
std::string AsNamed(const QJsonValue& v, int* out, bool (*parse)(const std::string&, int*),
                    const std::string& what) {
    if (v.isString() && parse(v.toString().toStdString(), out)) return "";
    if (v.isDouble()) return AsInteger(v, out);
    return std::string("must be ") + what + ", not " + Describe(v);
}

std::string AsColour(const QJsonValue& v, int* out) {
    static const std::string what =
        "a colour code " + RangeText(kColourRange) + " or one of " + ColourNameList("\"");
    return AsNamed(v, out, ParseColour, what);
}

std::string AsBlink(const QJsonValue& v, int* out) {
    static const std::string what = "a blink code " + RangeText(kBlinkRange) + " or \"" +
                                    kBlinkNames[0] + "\", \"1\"..\"" +
                                    kBlinkNames[kBlinkRange.high] + "\"";
    return AsNamed(v, out, ParseBlink, what);
}

bool ParseWhiteLevel(const std::string& text, int* out) {
    for (int level = 0; level < kWhiteLevelRange.count(); ++level)
        if (text == kWhiteLevelNames[level]) {
            *out = level;
            return true;
        }
    return false;
}

std::string AsWhiteLevel(const QJsonValue& v, int* out) {
    return AsNamed(v, out, ParseWhiteLevel, "\"Low\" or \"High\" (or 0, 1)");
}

std::string AsSequence(const QJsonValue& v, int* out) {
    if (v.isBool()) {
        *out = v.toBool() ? 1 : 0;
        return "";
    }
    if (v.isDouble()) return AsInteger(v, out);
    return "must be true or false, not " + Describe(v);
}

// A list of line numbers, or the bit mask as a number.
std::string AsFill(const QJsonValue& v, int* out) {
    if (v.isDouble()) return AsInteger(v, out);
    if (!v.isArray()) return "must be a list of line numbers 1..7, not " + Describe(v);
    int mask = 0;
    const QJsonArray lines = v.toArray();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        long long line = 0;
        if (!WholeNumber(lines[i], &line) || line < 1 || line > kLineCount)
            return "[" + std::to_string(i) + "] is " + Describe(lines[i]) +
                   ", not a line number 1..7";
        mask |= 1 << (line - 1);
    }
    *out = mask;
    return "";
}

std::string KeyList(std::initializer_list<const char*> keys) {
    std::string list;
    for (const char* key : keys) list += (list.empty() ? "" : ", ") + std::string(key);
    return list;
}

// Where a value sits: its JSON path and, once known, the page and line.
struct Place {
    std::string path;
    std::string label;  // " (page 3 line 2)" or ""
    Place Key(const char* key) const { return {path + (path.empty() ? "" : ".") + key, label}; }
    Place Index(const char* key, qsizetype i) const {
        return {Key(key).path + "[" + std::to_string(i) + "]", label};
    }
};

class JsonImport {
public:
    JsonImport(const PanelSettings& base, int baseCurrentPage)
        : base_(base),
          result_(base),
          baseCurrentPage_(baseCurrentPage),
          currentPage_(baseCurrentPage) {}

    std::vector<std::string> Apply(const QJsonObject& root, PanelSettings* settings,
                                   int* currentPage) {
        if (ReadHeader(root)) ReadRoot(root);
        if (problems_.empty()) {
            *settings = result_;
            *currentPage = currentPage_;
        }
        return problems_.Lines();
    }

private:
    void Problem(const Place& at, const std::string& what) {
        problems_.push_back(at.path + at.label + ": " + what);
    }

    void CheckKeys(const QJsonObject& object, const Place& at, const char* what,
                   std::initializer_list<const char*> keys) {
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string key = it.key().toStdString();
            bool known = false;
            for (const char* k : keys) known |= key == k;
            if (!known)
                Problem(at.Key(Shown(key).c_str()),
                        std::string("unknown key (") + what + " has " + KeyList(keys) + ")");
        }
    }

    // Reads object[key] when it is there; a value out of low..high is taken
    // only when it is the store's own.
    void Field(const QJsonObject& object, const char* key, const Place& at, Decode decode,
               ValueRange range, int old, int* field) {
        const auto it = object.find(key);
        if (it == object.end()) return;
        int value = 0;
        std::string problem = decode(*it, &value);
        if (problem.empty()) problem = RangeProblem(value, old, range);
        if (problem.empty())
            *field = value;
        else
            Problem(at.Key(key), problem);
    }

    // "page" or "line": there, a number within 1..count, and not seen before.
    bool Number(const QJsonObject& object, const char* key, const Place& at, int count,
                std::vector<std::string>* seenAt, int* index) {
        const auto it = object.find(key);
        if (it == object.end()) {
            Problem(at, std::string("no \"") + key + "\" number");
            return false;
        }
        int n = 0;
        std::string problem = AsInteger(*it, &n);
        if (problem.empty() && (n < 1 || n > count))
            problem =
                std::to_string(n) + " is not a " + key + " number 1.." + std::to_string(count);
        if (!problem.empty()) {
            Problem(at.Key(key), problem);
            return false;
        }
        std::string& seen = (*seenAt)[static_cast<size_t>(n - 1)];
        if (!seen.empty()) {
            Problem(at,
                    std::string(key) + " " + std::to_string(n) + " is already given at " + seen);
            return false;
        }
        seen = at.path;
        *index = n - 1;
        return true;
    }

    bool ReadHeader(const QJsonObject& root) {
        const QJsonValue format = root.value("format");
        if (format.isUndefined())
            Problem({"format", ""}, std::string("missing; the document starts {\"format\": \"") +
                                        kFormat + "\", \"version\": 1, ...}");
        else if (format.toString() != kFormat)
            Problem({"format", ""}, Describe(format) + " is not \"" + kFormat + "\"");
        const QJsonValue version = root.value("version");
        long long n = 0;
        if (version.isUndefined())
            Problem({"version", ""}, "missing; this program reads version 1");
        else if (!WholeNumber(version, &n) || n != kVersion)
            Problem({"version", ""},
                    Describe(version) + " is not a version this program reads (1)");
        return problems_.empty();
    }

    void ReadRoot(const QJsonObject& root) {
        const Place top{};
        CheckKeys(
            root, top, "the document",
            {"format", "version", "selectedPage", "sequence", "hPosition", "vPosition", "pages"});
        ReadSelectedPage(root);
        Field(root, "sequence", top, AsSequence, kSequenceRange, base_.sequenceMode, &result_.sequenceMode);
        Field(root, "hPosition", top, AsInteger, kPositionRange, base_.hPosition, &result_.hPosition);
        Field(root, "vPosition", top, AsInteger, kPositionRange, base_.vPosition, &result_.vPosition);
        const auto pages = root.find("pages");
        if (pages == root.end()) return;
        if (!pages->isArray())
            return Problem(top.Key("pages"), "must be an array, not " + Describe(*pages));
        std::vector<std::string> seen(kPageCount);
        const QJsonArray list = pages->toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Place at = top.Index("pages", i);
            if (list[i].isObject())
                ReadPage(list[i].toObject(), at, &seen);
            else
                Problem(at, "must be an object, not " + Describe(list[i]));
        }
    }

    // selectedPage is the page index plus one; a hand-edited file may hold
    // any index, so the number is read wider than an int.
    void ReadSelectedPage(const QJsonObject& root) {
        const auto it = root.find("selectedPage");
        if (it == root.end()) return;
        long long n = 0;
        if (!WholeNumber(*it, &n))
            return Problem({"selectedPage", ""}, "must be a whole number, not " + Describe(*it));
        if (n - 1 == baseCurrentPage_ || (n >= 1 && n <= kPageCount))
            currentPage_ = static_cast<int>(n - 1);
        else
            Problem({"selectedPage", ""}, std::to_string(n) + " is out of range 1..32");
    }

    void ReadPage(const QJsonObject& page, Place at, std::vector<std::string>* seen) {
        CheckKeys(page, at, "a page", {"page", "whiteLevel", "displayTime", "fill", "lines"});
        int p = 0;
        if (!Number(page, "page", at, kPageCount, seen, &p)) return;
        at.label = " (page " + std::to_string(p + 1) + ")";
        Field(page, "whiteLevel", at, AsWhiteLevel, kWhiteLevelRange, base_.whiteLevel[p],
              &result_.whiteLevel[p]);
        Field(page, "displayTime", at, AsInteger, kDisplayTimeRange, base_.displayTime[p],
              &result_.displayTime[p]);
        Field(page, "fill", at, AsFill, kFillRange, base_.fillMask[p], &result_.fillMask[p]);
        const auto lines = page.find("lines");
        if (lines == page.end()) return;
        if (!lines->isArray())
            return Problem(at.Key("lines"), "must be an array, not " + Describe(*lines));
        std::vector<std::string> seenLines(kLineCount);
        const QJsonArray list = lines->toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            Place lineAt = at.Index("lines", i);
            if (list[i].isObject())
                ReadLine(list[i].toObject(), lineAt, p, &seenLines);
            else
                Problem(lineAt, "must be an object, not " + Describe(list[i]));
        }
    }

    void ReadLine(const QJsonObject& line, Place at, int p, std::vector<std::string>* seen) {
        CheckKeys(line, at, "a line", {"line", "text", "charColour", "borderColour", "blink"});
        int k = 0;
        if (!Number(line, "line", at, kLineCount, seen, &k)) return;
        at.label = " (page " + std::to_string(p + 1) + " line " + std::to_string(k + 1) + ")";
        ReadText(line, at, p, k);
        Field(line, "charColour", at, AsColour, kColourRange, base_.charColor[p][k],
              &result_.charColor[p][k]);
        Field(line, "borderColour", at, AsColour, kColourRange, base_.edgeColor[p][k],
              &result_.edgeColor[p][k]);
        Field(line, "blink", at, AsBlink, kBlinkRange, base_.blinkMode[p][k], &result_.blinkMode[p][k]);
    }

    void ReadText(const QJsonObject& line, const Place& at, int p, int k) {
        const auto it = line.find("text");
        if (it == line.end()) return;
        if (!it->isString())
            return Problem(at.Key("text"), "must be a string, not " + Describe(*it));
        const std::string text = it->toString().toStdString();
        std::string bytes;
        const std::string problem = LineTextProblem(text, base_.lineText[p][k], &bytes);
        if (problem.empty())
            result_.lineText[p][k] = bytes;
        else
            Problem(at.Key("text"), Quoted(text) + " " + problem);
    }

    const PanelSettings& base_;
    PanelSettings result_;
    const int baseCurrentPage_;
    int currentPage_;
    ProblemList problems_;
};

// "near line L, column C" of a byte offset, counting characters, not bytes;
// the parser reports the place where it stopped, at or just after the fault.
std::string LineAndColumn(const std::string& text, size_t offset) {
    int line = 1;
    int column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "near line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

std::vector<std::string> ApplySettingsJson(const std::string& json, PanelSettings* settings,
                                           int* currentPage) {
    const size_t start = json.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(json.data() + start, static_cast<qsizetype>(json.size() - start)), &error);
    if (error.error != QJsonParseError::NoError)
        return {LineAndColumn(json, start + static_cast<size_t>(error.offset)) + ": " +
                error.errorString().toStdString()};
    if (!doc.isObject()) return {"the document must be a JSON object {\"format\": ...}"};
    return JsonImport(*settings, *currentPage).Apply(doc.object(), settings, currentPage);
}

}  // namespace kvt
