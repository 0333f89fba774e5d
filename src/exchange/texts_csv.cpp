#include "exchange/texts_csv.h"

#include <algorithm>

#include "exchange/sheet_columns.h"
#include "exchange/value_checks.h"
#include "settings/cp932.h"

namespace kvt {

namespace {

enum Column { kPage, kLine, kText, kCharColour, kBorderColour, kBlink, kColumnCount };

const char* const kHeader[kColumnCount] = {"page",          "line", "text", "character colour",
                                           "border colour", "blink"};

const std::string kColourHint = "give " + RangeText(kColourRange) + " or " + ColourNameList("");
const std::string kBlinkHint = "give " + std::string(kBlinkNames[0]) + " or 1.." +
                               std::to_string(kBlinkRange.high) + " (0 for OFF)";

// RFC 4180: a cell holding a comma, quote or line break goes in quotes, its
// quotes doubled.
std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// A name where the value has one; the bare number for a value only a
// hand-edited file holds, so that it comes back as it was.
std::string NameCell(const char* const* names, int count, int value) {
    return value >= 0 && value < count ? names[value] : std::to_string(value);
}

// Reads the sheet's rows into a copy of the store.
class SheetImport {
public:
    explicit SheetImport(const PanelSettings& base)
        : base_(base), result_(base), columns_({std::begin(kHeader), std::end(kHeader)}, problems_) {}

    std::vector<std::string> Apply(const std::string& csv, PanelSettings* out) {
        if (columns_.Read(csv, {kPage, kLine}, [this](const CsvRecord& record) { ReadRow(record); }) &&
            problems_.empty())
            *out = result_;
        return problems_.Lines();
    }

private:
    bool ReadNumber(const CsvRecord& record, int column, ValueRange range, int* value) {
        const std::string* cell = columns_.Cell(record, column);
        if (!cell) return false;
        if (ParseInteger(*cell, value) && range.Holds(*value)) return true;
        columns_.Problem(record, column,
                         Quoted(*cell) + " is not a " + kHeader[column] + " number " + RangeText(range));
        return false;
    }

    void ReadRow(const CsvRecord& record) {
        if (!columns_.CheckShape(record)) return;
        int page = 0;
        int line = 0;
        const bool pageOk = ReadNumber(record, kPage, {1, kPageCount}, &page);
        if (!ReadNumber(record, kLine, {1, kLineCount}, &line) || !pageOk) return;
        const int p = page - 1;
        const int k = line - 1;
        if (rowOf_[p][k] != 0) {
            problems_.push_back("row " + std::to_string(record.row) + ": page " +
                                std::to_string(page) + " line " + std::to_string(line) +
                                " is already given in row " + std::to_string(rowOf_[p][k]));
            return;
        }
        rowOf_[p][k] = record.row;
        ReadText(record, p, k);
        ReadCode(record, kCharColour, ParseColour, kColourHint, kColourRange,
                 base_.charColor[p][k], &result_.charColor[p][k]);
        ReadCode(record, kBorderColour, ParseColour, kColourHint, kColourRange,
                 base_.edgeColor[p][k], &result_.edgeColor[p][k]);
        ReadCode(record, kBlink, ParseBlink, kBlinkHint, kBlinkRange, base_.blinkMode[p][k],
                 &result_.blinkMode[p][k]);
    }

    void ReadText(const CsvRecord& record, int p, int k) {
        const std::string* cell = columns_.Cell(record, kText);
        if (!cell) return;
        std::string bytes;
        const std::string problem = LineTextProblem(*cell, base_.lineText[p][k], &bytes);
        if (problem.empty())
            result_.lineText[p][k] = bytes;
        else
            columns_.Problem(record, kText, Quoted(*cell) + " " + problem);
    }

    void ReadCode(const CsvRecord& record, int column, bool (*parse)(const std::string&, int*),
                  const std::string& hint, ValueRange range, int old, int* field) {
        const std::string* cell = columns_.Cell(record, column);
        if (!cell) return;
        int value = 0;
        if (!parse(*cell, &value)) {
            columns_.Problem(record, column, Quoted(*cell) + " is not a " + kHeader[column] + ": " + hint);
            return;
        }
        const std::string problem = RangeProblem(value, old, range);
        if (problem.empty())
            *field = value;
        else
            columns_.Problem(record, column, problem);
    }

    const PanelSettings& base_;
    PanelSettings result_;
    ProblemList problems_;
    SheetColumns columns_;
    int rowOf_[kPageCount][kLineCount] = {};  // row that gave the line, 0 = none
};

}  // namespace

std::string TextsToCsv(const PanelSettings& s) {
    std::string out = "\xEF\xBB\xBF";
    for (int c = 0; c < kColumnCount; ++c) out += (c ? "," : "") + std::string(kHeader[c]);
    out += "\r\n";
    for (int p = 0; p < kPageCount; ++p)
        for (int k = 0; k < kLineCount; ++k) {
            out += std::to_string(p + 1) + "," + std::to_string(k + 1) + "," +
                   CsvCell(Cp932ToUtf8(s.lineText[p][k])) + "," +
                   NameCell(kColourNames, kColourRange.count(), s.charColor[p][k]) + "," +
                   NameCell(kColourNames, kColourRange.count(), s.edgeColor[p][k]) + "," +
                   NameCell(kBlinkNames, kBlinkRange.count(), s.blinkMode[p][k]) + "\r\n";
        }
    return out;
}

std::vector<std::string> ApplyTextsCsv(const std::string& csv, PanelSettings* settings) {
    return SheetImport(*settings).Apply(csv, settings);
}

}  // namespace kvt
