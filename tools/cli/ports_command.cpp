// ports: the serial devices of this machine, one per line: the path to use
// (stable where udev made one), the kernel device, and what is behind it.
#include <cstdio>

#include "serial/port_discovery.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

int RunPorts(const Args& args) {
    if (!args.positional.empty()) return UsageError("ports takes no arguments");
    const std::vector<SerialPortInfo> ports = DiscoverSerialPorts();
    if (ports.empty()) std::fprintf(stderr, "kvt540m-cli: no serial devices found\n");
    for (const SerialPortInfo& port : ports)
        std::printf("%s\t%s\t%s\n", port.path.c_str(), port.device.c_str(), port.Describe().c_str());
    return kExitOk;
}

}  // namespace kvt::cli
