// The commands for whole installations: verify one sign against a file, and
// deploy to or read every slave of an RS-485 bus, with a table of results
// and a JSON report.
#pragma once

#include "tools/cli/cli.h"

namespace kvt::cli {

int RunVerify(const Args& args);
int RunDeploy(const Args& args);
int RunReadAll(const Args& args);

}  // namespace kvt::cli
