// The simulated sign's open files: many lines need a descriptor or more
// each, far beyond the usual soft limit of 1024.
#pragma once

#include <string>

namespace kvt::sim {

// Raises the soft limit of open files to the hard limit, as servers of
// many connections do.
void RaiseOpenFileLimit();

// Whether `more` descriptors fit beside those open now under the limit of
// open files; false with *error naming the limit when they do not.
bool RoomForOpenFiles(long more, const std::string& what, std::string* error);

}  // namespace kvt::sim
