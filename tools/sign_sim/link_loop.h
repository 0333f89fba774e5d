// The one loop of the simulated sign: every line's link is served on it,
// however many lines there are (no thread per line). It waits on epoll, so
// that a wake-up costs the same with one line or thousands, and keeps the
// replies' due times on a heap.
#pragma once

#include <vector>

#include "sign_link.h"

namespace kvt::sim {

// Serves the links until stopFd becomes readable or a link cannot go on.
void ServeLinks(const std::vector<SignLink*>& links, int stopFd);

}  // namespace kvt::sim
