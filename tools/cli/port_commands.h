// The command-line tool's commands that need the serial link.
#pragma once

#include <string>

#include "protocol/command_set.h"

namespace kvt::cli {

struct PortOptions {
    std::string port;          // "COM1".."COM3" or a device path; "" = profile
    bool rs485 = false;        // --rs485 given
    int slave = -1;            // --slave N; -1 = not given
};

// Each returns the exit status. The store (and lineMode, slaveNo) have
// already been set up by the caller from FILE.dat and the options.
int SendSingleOverPort(const Command& command, const PortOptions& options);
int SendAllItemsOverPort(const PortOptions& options);
int ReadBackOverPort(const std::string& outPath, const PortOptions& options);

}  // namespace kvt::cli
