// A name for a file made of a port name or a sign's name (a fleet's trace
// files, the files of a fleet read).
#pragma once

#include <string>

namespace kvt {

// Every character but letters, digits, "-", "." and "_" (and those of other
// scripts) becomes "_"; "", "." and ".." get a "_" in front.
std::string FileNameOf(const std::string& name);

}  // namespace kvt
