// A reader for comma-separated values as spreadsheets save them (RFC 4180):
// cells in double quotes may hold commas, line breaks and doubled quotes;
// records end in CR LF, LF or a lone CR; a UTF-8 byte order mark at the
// start is skipped.
#pragma once

#include <string>
#include <vector>

namespace kvt {

struct CsvRecord {
    int row = 0;  // 1-based, as a spreadsheet numbers it (a blank line is a row)
    std::vector<std::string> cells;
};

struct CsvError {
    int row = 0;
    int column = 0;  // 1-based cell of the row
    std::string message;
};

// False with *error set when the quoting is broken; *records then holds the
// records before the broken one.
bool ReadCsv(const std::string& bytes, std::vector<CsvRecord>* records, CsvError* error);

}  // namespace kvt
