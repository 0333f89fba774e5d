// The JSON report of the bus commands, for scripts and for tools that manage
// many sites.
#pragma once

#include <string>
#include <vector>

#include "transfer/bus_run.h"

namespace kvt::cli {

// Writes {"command": ..., "ok": bool, "slaves": [{"slave", "result",
// "error", "differences", "seconds"}...]} to path. False with *error set.
bool WriteBusReport(const std::string& path, const std::string& command,
                    const std::vector<SlaveResult>& results, std::string* error);

// A sign of a fleet and how it went.
struct FleetSignResult {
    std::string name, line;
    SlaveResult result;
};

// Writes {"command": ..., "ok": bool, "signs": [{"name", "line", "slave"
// (null on an RS-232C line), "result" ("OK", "differences", "error", "not
// reached"), "error", "differences", "seconds"}...]} to path.
bool WriteFleetReport(const std::string& path, const std::string& command,
                      const std::vector<FleetSignResult>& results, std::string* error);

}  // namespace kvt::cli
