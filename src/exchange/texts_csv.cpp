#include "exchange/texts_csv.h"

#include <algorithm>

#include "exchange/csv_reader.h"
#include "exchange/problem_list.h"
#include "exchange/value_checks.h"
#include "settings/cp932.h"

namespace kvt {

namespace {

enum Column { kPage, kLine, kText, kCharColour, kBorderColour, kBlink, kColumnCount };

const char* const kHeader[kColumnCount] = {"page",          "line", "text", "character colour",
                                           "border colour", "blink"};

const char* const kColourHint = "give 0..8 or 黒, 赤, 緑, 黄, 青, マゼンタ, シアン, 白, ブランク";

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

// "A".."Z", "AA".. as spreadsheets label columns; column is 1-based.
std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool IsBlankRecord(const CsvRecord& record) {
    for (const std::string& cell : record.cells)
        if (!cell.empty()) return false;
    return true;
}

std::string HeaderList() {
    std::string list;
    for (const char* name : kHeader) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

// Reads the sheet's rows into a copy of the store, in two passes over its
// records: the encoding of every cell, then the header and the rows.
class SheetImport {
public:
    explicit SheetImport(const PanelSettings& base) : base_(base), result_(base) {}

    std::vector<std::string> Apply(const std::string& csv, PanelSettings* out) {
        CsvError error;
        bool empty = true;
        const auto checkEncoding = [&](const CsvRecord& record) {
            empty = false;
            CheckEncoding(record);
        };
        if (!ReadCsv(csv, checkEncoding, &error))
            return {"row " + std::to_string(error.row) + ", column " + ColumnLetters(error.column) +
                    ": " + error.message};
        if (!problems_.empty()) return problems_.Lines();
        if (empty) return {"the file is empty; it needs the header row " + HeaderList()};
        ReadCsv(csv, [this](const CsvRecord& record) { Take(record); }, &error);
        if (problems_.empty()) *out = result_;
        return problems_.Lines();
    }

private:
    std::string Where(int row, int cell) const {
        std::string where = "row " + std::to_string(row) + ", column " + ColumnLetters(cell + 1);
        for (int c = 0; c < kColumnCount; ++c)
            if (cellOf_[c] == cell) where += std::string(" (") + kHeader[c] + ")";
        return where;
    }

    void Problem(int row, int cell, const std::string& what) {
        problems_.push_back(Where(row, cell) + ": " + what);
    }

    // A sheet saved in another encoding than UTF-8 would only give a
    // problem in every text; the first one is enough.
    void CheckEncoding(const CsvRecord& record) {
        for (size_t cell = 0; cell < record.cells.size() && problems_.empty(); ++cell)
            if (!IsUtf8(record.cells[cell]))
                problems_.push_back("row " + std::to_string(record.row) + ", column " +
                                    ColumnLetters(static_cast<int>(cell) + 1) +
                                    ": not UTF-8 text; save the sheet as UTF-8 CSV");
    }

    // The first record is the header; rows count only under a good one.
    void Take(const CsvRecord& record) {
        if (record.row == 1)
            headerOk_ = ReadHeader(record);
        else if (headerOk_ && !IsBlankRecord(record))
            ReadRow(record);
    }

    bool ReadHeader(const CsvRecord& header) {
        for (int cell = 0; cell < static_cast<int>(header.cells.size()); ++cell) {
            const std::string name = LowerAscii(TrimBlanks(header.cells[cell]));
            if (name.empty()) continue;  // a column with no name must stay empty
            int c = 0;
            while (c < kColumnCount && name != kHeader[c]) ++c;
            if (c == kColumnCount)
                Problem(header.row, cell,
                        "unknown column " + Quoted(header.cells[cell]) + " (the columns are " +
                            HeaderList() + ")");
            else if (cellOf_[c] >= 0)
                Problem(header.row, cell, std::string("a second \"") + kHeader[c] + "\" column");
            else
                cellOf_[c] = cell;
        }
        for (int c : {kPage, kLine})
            if (cellOf_[c] < 0)
                problems_.push_back("row 1: no \"" + std::string(kHeader[c]) +
                                    "\" column (the header row names the columns: " + HeaderList() +
                                    ")");
        return problems_.empty();
    }

    // The cell of a column the header names, or nullptr.
    const std::string* Cell(const CsvRecord& record, int column) const {
        const int cell = cellOf_[column];
        return cell < 0 ? nullptr : &record.cells[static_cast<size_t>(cell)];
    }

    // A row must reach the last named column and hold nothing beyond the
    // named ones.
    bool CheckShape(const CsvRecord& record) {
        int last = 0;
        for (int cell : cellOf_) last = std::max(last, cell);
        const int count = static_cast<int>(record.cells.size());
        if (count <= last) {
            problems_.push_back("row " + std::to_string(record.row) + ": " + std::to_string(count) +
                                " cells, but the header names column " + ColumnLetters(last + 1));
            return false;
        }
        bool ok = true;
        for (int cell = 0; cell < count; ++cell) {
            bool named = false;
            for (int c : cellOf_) named |= c == cell;
            if (!named && !record.cells[static_cast<size_t>(cell)].empty()) {
                Problem(record.row, cell, "a value in a column the header does not name");
                ok = false;
            }
        }
        return ok;
    }

    bool ReadNumber(const CsvRecord& record, int column, int low, int high, int* value) {
        const std::string* cell = Cell(record, column);
        if (!cell) return false;
        if (ParseInteger(*cell, value) && *value >= low && *value <= high) return true;
        Problem(record.row, cellOf_[column],
                Quoted(*cell) + " is not a " + kHeader[column] + " number " + std::to_string(low) +
                    ".." + std::to_string(high));
        return false;
    }

    void ReadRow(const CsvRecord& record) {
        if (!CheckShape(record)) return;
        int page = 0;
        int line = 0;
        const bool pageOk = ReadNumber(record, kPage, 1, kPageCount, &page);
        if (!ReadNumber(record, kLine, 1, kLineCount, &line) || !pageOk) return;
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
        ReadCode(record, kCharColour, ParseColour, kColourHint, 8, base_.charColor[p][k],
                 &result_.charColor[p][k]);
        ReadCode(record, kBorderColour, ParseColour, kColourHint, 8, base_.edgeColor[p][k],
                 &result_.edgeColor[p][k]);
        ReadCode(record, kBlink, ParseBlink, "give OFF or 1..4 (0 for OFF)", 4,
                 base_.blinkMode[p][k], &result_.blinkMode[p][k]);
    }

    void ReadText(const CsvRecord& record, int p, int k) {
        const std::string* cell = Cell(record, kText);
        if (!cell) return;
        std::string bytes;
        const std::string problem = LineTextProblem(*cell, base_.lineText[p][k], &bytes);
        if (problem.empty())
            result_.lineText[p][k] = bytes;
        else
            Problem(record.row, cellOf_[kText], Quoted(*cell) + " " + problem);
    }

    void ReadCode(const CsvRecord& record, int column, bool (*parse)(const std::string&, int*),
                  const char* hint, int high, int old, int* field) {
        const std::string* cell = Cell(record, column);
        if (!cell) return;
        int value = 0;
        if (!parse(*cell, &value)) {
            Problem(record.row, cellOf_[column],
                    Quoted(*cell) + " is not a " + kHeader[column] + ": " + hint);
            return;
        }
        const std::string problem = RangeProblem(value, old, 0, high);
        if (problem.empty())
            *field = value;
        else
            Problem(record.row, cellOf_[column], problem);
    }

    const PanelSettings& base_;
    PanelSettings result_;
    ProblemList problems_;
    bool headerOk_ = false;
    int cellOf_[kColumnCount] = {-1, -1, -1, -1, -1, -1};  // header cell of each column
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
                   NameCell(kColourNames, 9, s.charColor[p][k]) + "," +
                   NameCell(kColourNames, 9, s.edgeColor[p][k]) + "," +
                   NameCell(kBlinkNames, 5, s.blinkMode[p][k]) + "\r\n";
        }
    return out;
}

std::vector<std::string> ApplyTextsCsv(const std::string& csv, PanelSettings* settings) {
    return SheetImport(*settings).Apply(csv, settings);
}

}  // namespace kvt
