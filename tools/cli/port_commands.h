// The command-line tool's commands that need the link.
#pragma once

#include <string>

#include "protocol/command_set.h"
#include "session/session.h"
#include "transfer/pacing.h"

namespace kvt::cli {

struct PortOptions {
    std::string port;          // "COM1".."COM3" or a device path; "" = profile
    bool rs485 = false;        // --rs485 given
    int slave = -1;            // --slave N; -1 = not given
    Pacing pacing;             // --pace, --gap
    std::string trace;         // --trace FILE; "" = none
};

// Each returns the exit status. The session's store (and lineMode, slaveNo)
// have already been set up by the caller from FILE.dat and the options.
int SendSingleOverPort(Session& session, const Command& command, const PortOptions& options);
int SendAllItemsOverPort(Session& session, const PortOptions& options);
int ReadBackOverPort(Session& session, const std::string& outPath, const PortOptions& options);

}  // namespace kvt::cli
