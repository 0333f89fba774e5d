// The simulated sign's listening socket for --tcp HOST:PORT and --rfc2217
// HOST:PORT, as a serial device server on the network offers its line.
#pragma once

#include <string>

namespace kvt::sim {

// Listens on HOST:PORT (PORT 0: any free port), given to option. Returns
// the listening descriptor and sets *address to scheme + "HOST:PORT" with
// the port bound, or returns -1 with *error set.
int ListenTcp(const std::string& hostPort, const std::string& option, const std::string& scheme,
              std::string* address, std::string* error);

// Accepts one waiting client, non-blocking; -1 when none could be taken.
int AcceptClient(int listener);

}  // namespace kvt::sim
