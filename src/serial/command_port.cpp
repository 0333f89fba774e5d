#include "serial/command_port.h"

#include "serial/message_box.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt {

namespace {
CommandPort* installedPort = nullptr;
constexpr int kLastSlave = 31;

bool ValidSlave(int n) { return n >= 0 && n <= kLastSlave; }
}  // namespace

void InstallCommandPort(CommandPort* port) { installedPort = port; }

CommandPort* InstalledCommandPort() { return installedPort; }

std::string SlavePrefix() {
    if (lineMode == 0 || !ValidSlave(slaveNo)) return "";
    return {static_cast<char>('0' + slaveNo / 10), static_cast<char>('0' + slaveNo % 10)};
}

bool SendCommand(const std::string& text) {
    if (lineMode != 0 && !ValidSlave(slaveNo)) {
        // No sign answers to it: refused like a value out of its range.
        WarningBox("Value out of range: slave number is " + std::to_string(slaveNo) + " (0.." +
                   std::to_string(kLastSlave) + ")");
        return false;
    }
    if (installedPort) installedPort->WritePort(SlavePrefix() + text);
    replyPending = 1;
    return true;
}

void PortErrorBox(const std::string& text) {
    PortStyleBox(text);
    if (installedPort) installedPort->ClosePort();
}

}  // namespace kvt
