// Where a session's command lines go: the link to the sign, or a recorder
// (tests) or standard output (dry runs).
#pragma once

#include <string>

namespace kvt {

class CommandPort {
public:
    virtual ~CommandPort() = default;
    // Writes the bytes (prefix included). Must not block longer than the
    // write time-out. Failures are not reported: a missing reply is.
    virtual void WritePort(const std::string& bytes) = 0;
    // Closes the port after a port error box; later writes go nowhere.
    virtual void ClosePort() = 0;
};

}  // namespace kvt
