// The results of a run over signs, shared by the bus and the fleet
// commands: the table on standard output, the JSON report for scripts and
// tools that manage many sites, and the exit status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/run_report.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "transfer/sign_result.h"

namespace kvt::cli {

// The differences a verification found, one a line after indent, as verify
// prints them; past limit, "... and N more" instead of the rest.
void PrintDifferences(const std::vector<std::string>& differences, const char* indent = "",
                      size_t limit = SIZE_MAX);

// The table on standard output: a bus's by slave, a fleet's by sign and line
// followed by each differing sign's differences (at most 20 a sign) under
// the sign's name.
void PrintResults(ResultsOf of, const std::vector<SignRow>& rows);

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
