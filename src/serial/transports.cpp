// The one place that maps a device name to its kind of transport.
#include "serial/transport.h"
#include "serial/tty_transport.h"

namespace kvt {

std::unique_ptr<Transport> MakeTransport(const std::string& device) {
    return std::make_unique<TtyTransport>(device);
}

}  // namespace kvt
