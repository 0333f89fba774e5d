#include "exchange/sheet_columns.h"

#include <algorithm>

#include "exchange/value_checks.h"

namespace kvt {

namespace {

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

}  // namespace

std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

SheetColumns::SheetColumns(std::vector<const char*> names, ProblemList& problems)
    : names_(std::move(names)), cellOf_(names_.size(), -1), problems_(problems) {}

std::string SheetColumns::NameList() const {
    std::string list;
    for (const char* name : names_) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::string SheetColumns::Where(int row, int cell) const {
    std::string where = "row " + std::to_string(row) + ", column " + ColumnLetters(cell + 1);
    for (size_t c = 0; c < names_.size(); ++c)
        if (cellOf_[c] == cell) where += std::string(" (") + names_[c] + ")";
    return where;
}

void SheetColumns::Problem(const CsvRecord& record, int column, const std::string& what) {
    problems_.push_back(Where(record.row, cellOf_[column]) + ": " + what);
}

const std::string* SheetColumns::Cell(const CsvRecord& record, int column) const {
    const int cell = cellOf_[column];
    return cell < 0 ? nullptr : &record.cells[static_cast<size_t>(cell)];
}

bool SheetColumns::Read(const std::string& csv, const std::vector<int>& needed,
                        const std::function<void(const CsvRecord&)>& row) {
    CsvError error;
    bool empty = true;
    const auto checkEncoding = [&](const CsvRecord& record) {
        empty = false;
        CheckEncoding(record);
    };
    if (!ReadCsv(csv, checkEncoding, &error)) {
        problems_.push_back("row " + std::to_string(error.row) + ", column " +
                            ColumnLetters(error.column) + ": " + error.message);
        return false;
    }
    if (!problems_.empty()) return false;
    if (empty) {
        problems_.push_back("the file is empty; it needs the header row " + NameList());
        return false;
    }
    // The first record is the header; rows count only under a good one.
    bool headerOk = false;
    ReadCsv(
        csv,
        [&](const CsvRecord& record) {
            if (record.row == 1)
                headerOk = ReadHeader(record, needed);
            else if (headerOk && !IsBlankRecord(record))
                row(record);
        },
        &error);
    return headerOk;
}

// A sheet saved in another encoding than UTF-8 would only give a problem in
// every text; the first one is enough.
void SheetColumns::CheckEncoding(const CsvRecord& record) {
    for (size_t cell = 0; cell < record.cells.size() && problems_.empty(); ++cell)
        if (!IsUtf8(record.cells[cell]))
            problems_.push_back("row " + std::to_string(record.row) + ", column " +
                                ColumnLetters(static_cast<int>(cell) + 1) +
                                ": not UTF-8 text; save the sheet as UTF-8 CSV");
}

bool SheetColumns::ReadHeader(const CsvRecord& header, const std::vector<int>& needed) {
    for (int cell = 0; cell < static_cast<int>(header.cells.size()); ++cell) {
        const std::string name = LowerAscii(TrimBlanks(header.cells[cell]));
        if (name.empty()) continue;  // a column with no name must stay empty
        size_t c = 0;
        while (c < names_.size() && name != names_[c]) ++c;
        if (c == names_.size())
            problems_.push_back(Where(header.row, cell) + ": unknown column " +
                                Quoted(header.cells[cell]) + " (the columns are " + NameList() + ")");
        else if (cellOf_[c] >= 0)
            problems_.push_back(Where(header.row, cell) + ": a second \"" + names_[c] + "\" column");
        else
            cellOf_[c] = cell;
    }
    for (int c : needed)
        if (cellOf_[c] < 0)
            problems_.push_back("row 1: no \"" + std::string(names_[c]) +
                                "\" column (the header row names the columns: " + NameList() + ")");
    return problems_.empty();
}

bool SheetColumns::CheckShape(const CsvRecord& record) {
    const int last = *std::max_element(cellOf_.begin(), cellOf_.end());
    const int count = static_cast<int>(record.cells.size());
    if (count <= last) {
        problems_.push_back("row " + std::to_string(record.row) + ": " + std::to_string(count) +
                            " cells, but the header names column " + ColumnLetters(last + 1));
        return false;
    }
    bool ok = true;
    for (int cell = 0; cell < count; ++cell) {
        const bool named = std::find(cellOf_.begin(), cellOf_.end(), cell) != cellOf_.end();
        if (!named && !record.cells[static_cast<size_t>(cell)].empty()) {
            problems_.push_back(Where(record.row, cell) +
                                ": a value in a column the header does not name");
            ok = false;
        }
    }
    return ok;
}

}  // namespace kvt
