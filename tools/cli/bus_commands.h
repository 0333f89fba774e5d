// The commands for whole installations: verify one sign against a file, and
// deploy to or read every slave of an RS-485 bus, with a table of results
// and a JSON report.
#pragma once

#include <set>
#include <string>

#include "tools/cli/cli.h"

namespace kvt::cli {

// "0,3,5-9": slave numbers 0..31. False when the list is not of that form.
bool ParseSlaveList(const std::string& text, std::set<int>* slaves);

int RunVerify(const Args& args);
int RunDeploy(const Args& args);
int RunReadAll(const Args& args);

}  // namespace kvt::cli
