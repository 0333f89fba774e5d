// The way from a command line to the sign. Senders call SendCommand; it adds
// the RS-485 slave prefix and hands the bytes to the installed CommandPort
// (the serial link, or a recorder in tests and dry runs).
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

// Installs the process's one port; nullptr: commands go nowhere.
void InstallCommandPort(CommandPort* port);
CommandPort* InstalledCommandPort();

// "00".."31" in RS-485 mode (lineMode non-zero), "" in RS-232C mode and for
// a slaveNo outside 0..31.
std::string SlavePrefix();

// Writes one command line (already ending in CR LF) with the slave prefix in
// RS-485 mode, then sets replyPending, whatever the write's outcome. In
// RS-485 mode with slaveNo outside 0..31 nothing is written: a WarningBox
// tells why, replyPending stays, and the result is false.
bool SendCommand(const std::string& text);

// The link's error box (no owner, caption "Error", stop icon); once it is
// dismissed the port is closed.
void PortErrorBox(const std::string& text);

}  // namespace kvt
