// A sheet whose header row names its columns (in any order): which cell
// holds which column, where a problem is ("row 5, column C (text)", rows as
// a spreadsheet numbers them, the header being row 1), and the checks every
// such sheet makes: UTF-8 in every cell, the header's names, each row's
// shape.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "exchange/problem_list.h"

namespace kvt {

class SheetColumns {
public:
    // names: the columns the sheet may have, in the order they are listed.
    SheetColumns(std::vector<const char*> names, ProblemList& problems);

    // Checks every cell's encoding, then reads the header, which must name
    // each column of needed, and hands each row under it that is not blank
    // to row. False when the sheet is none (its quoting broken, not UTF-8,
    // empty, its header wrong): the problems say why.
    bool Read(const std::string& csv, const std::vector<int>& needed,
              const std::function<void(const CsvRecord&)>& row);

    // "row 5, column C (text)"; cell is 0-based.
    std::string Where(int row, int cell) const;
    // A problem in the cell of column (an index into names) of the row.
    void Problem(const CsvRecord& record, int column, const std::string& what);
    // The cell of a column the header names, or nullptr.
    const std::string* Cell(const CsvRecord& record, int column) const;
    // A row must reach the last named column and hold nothing beyond the
    // named ones; false (with the problems) when it does not.
    bool CheckShape(const CsvRecord& record);
    // "page, line, text, ...".
    std::string NameList() const;

private:
    bool ReadHeader(const CsvRecord& header, const std::vector<int>& needed);
    void CheckEncoding(const CsvRecord& record);

    std::vector<const char*> names_;
    std::vector<int> cellOf_;  // header cell of each column, -1 = none
    ProblemList& problems_;
};

// "A".."Z", "AA".. as spreadsheets label columns; column is 1-based.
std::string ColumnLetters(int column);

}  // namespace kvt
