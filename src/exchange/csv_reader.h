// A reader for comma-separated values as spreadsheets save them (RFC 4180):
// cells in double quotes may hold commas, line breaks and doubled quotes;
// records end in CR LF, LF or a lone CR; a UTF-8 byte order mark at the
// start is skipped.
#pragma once

#include <functional>
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

// Hands each record to take in turn, so that a sheet of a million blank
// lines needs no million records at once. False with *error set when the
// quoting is broken; the records before the broken one were handed over.
bool ReadCsv(const std::string& bytes, const std::function<void(const CsvRecord&)>& take,
             CsvError* error);

// The same into *records.
bool ReadCsv(const std::string& bytes, std::vector<CsvRecord>* records, CsvError* error);

}  // namespace kvt
