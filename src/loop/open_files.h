// The open files of a program of many lines (a fleet in the tool or the
// window program, the simulated sign's --lines): a descriptor or more each,
// far beyond the usual soft limit of 1024.
#pragma once

#include <string>

namespace kvt {

// Raises the soft limit of open files to the hard limit, as programs of
// many connections do.
void RaiseOpenFileLimit();

// Whether `more` descriptors fit beside those open now under the limit of
// open files; false with *error naming the limit when they do not.
bool RoomForOpenFiles(long more, const std::string& what, std::string* error);

}  // namespace kvt
