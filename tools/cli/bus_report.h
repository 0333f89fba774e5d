// The result of one slave in the bus commands, and the JSON report of them
// for scripts and tools that manage many sites.
#pragma once

#include <string>
#include <vector>

namespace kvt::cli {

struct SlaveResult {
    int slave = 0;
    std::string error;                     // the error message, "No Connect", ...; "" = none
    std::vector<std::string> differences;  // verify: what the sign holds otherwise
    double seconds = 0;

    bool ok() const { return error.empty() && differences.empty(); }
    // "OK", the error, or "N differences".
    std::string Summary() const;
};

// Writes {"command": ..., "slaves": [{"slave", "result", "differences",
// "error", "seconds"}...], "ok": bool} to path. False with *error set.
bool WriteBusReport(const std::string& path, const std::string& command,
                    const std::vector<SlaveResult>& results, std::string* error);

}  // namespace kvt::cli
