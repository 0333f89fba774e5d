#include "serial/command_port.h"

#include "serial/message_box.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt {

namespace {
CommandPort* installedPort = nullptr;
}

void InstallCommandPort(CommandPort* port) { installedPort = port; }

CommandPort* InstalledCommandPort() { return installedPort; }

std::string SlavePrefix() {
    if (lineMode == 0) return "";
    // Two digits always; slaveNo is 0..31 from the lists, but keep the
    // prefix two printable digits whatever it holds.
    int n = slaveNo;
    if (n < 0 || n > 99) n = 0;
    std::string prefix(2, '0');
    prefix[0] = static_cast<char>('0' + n / 10);
    prefix[1] = static_cast<char>('0' + n % 10);
    return prefix;
}

void SendCommand(const std::string& text) {
    if (installedPort) installedPort->WritePort(SlavePrefix() + text);
    replyPending = 1;
}

void PortErrorBox(const std::string& text) {
    PortStyleBox(text);
    if (installedPort) installedPort->ClosePort();
}

}  // namespace kvt
