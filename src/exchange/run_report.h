// The JSON report of a run over signs, for scripts and tools that manage
// many sites: the command-line tool's bus and fleet commands write it, and
// so does the window program's fleet window. Its texts are English whatever
// the window's language.
#pragma once

#include <string>
#include <vector>

#include "transfer/sign_result.h"

namespace kvt {

// Whose results: the slaves of one bus, or the signs of a fleet's lines.
enum class ResultsOf { Bus, Fleet };

// A sign and how it went.
struct SignRow {
    std::string name, line;  // a fleet's
    SlaveResult result;
};

// A sign's problem in words ("" for none): the sign's error, "No Connect",
// ... or the message it carries.
std::string ProblemText(const SlaveResult& result);
// Its "result" in a report: "OK", "differences", "error", "interrupted" or
// "not reached".
const char* ReportResult(const SlaveResult& result);
// Seconds to a tenth, rounded.
double SecondsToATenth(Millis ms);

// Writes {"command": ..., "ok": bool, LIST: [...]} to path: for a bus LIST is
// "slaves", each {"slave", "result", "error", "differences", "seconds"}; for
// a fleet "signs", each also with "name", "line" and "slave" null on an
// RS-232C line. False with *error set.
bool WriteResultsReport(ResultsOf of, const std::string& path, const std::string& command,
                        const std::vector<SignRow>& rows, std::string* error);

}  // namespace kvt
