// The results of a run over signs, shared by the bus and the fleet
// commands: the table on standard output, the JSON report for scripts and
// tools that manage many sites, and the exit status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "session/session.h"
#include "settings/settings_file.h"
#include "transfer/sign_result.h"

namespace kvt::cli {

// Whose results: the slaves of one bus, or the signs of a fleet's lines.
enum class ResultsOf { Bus, Fleet };

// A sign and how it went.
struct SignRow {
    std::string name, line;  // a fleet's
    SlaveResult result;
};

// The differences a verification found, one a line after indent, as verify
// prints them; past limit, "... and N more" instead of the rest.
void PrintDifferences(const std::vector<std::string>& differences, const char* indent = "",
                      size_t limit = SIZE_MAX);

// The table on standard output: a bus's by slave, a fleet's by sign and line
// followed by each differing sign's differences (at most 20 a sign) under
// the sign's name.
void PrintResults(ResultsOf of, const std::vector<SignRow>& rows);

// Writes {"command": ..., "ok": bool, LIST: [...]} to path: for a bus LIST is
// "slaves", each {"slave", "result", "error", "differences", "seconds"}; for
// a fleet "signs", each also with "name", "line" and "slave" null on an
// RS-232C line. "result" is "OK", "differences", "error" or "not reached";
// "seconds" to a tenth, rounded. False with *error set.
bool WriteResultsReport(ResultsOf of, const std::string& path, const std::string& command,
                        const std::vector<SignRow>& rows, std::string* error);

// A read: the store read from a sign into path (through the batch when one
// is given). A file that cannot be written fails the sign (FileNotWritten,
// with the reason).
void WriteSignFile(const std::string& path, const Session& session, SlaveResult* result,
                   SaveBatch* batch = nullptr);

// The table, the report when one is asked for, and the exit status: 130
// when the run was interrupted; 0 when every sign succeeded; for a fleet 3
// when verification found differences and nothing worse; 1 otherwise.
int FinishResults(ResultsOf of, const std::string& report, const std::string& command,
                  const std::vector<SignRow>& rows, bool interrupted);

}  // namespace kvt::cli
