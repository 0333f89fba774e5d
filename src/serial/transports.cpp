// The one place that maps a device name to its kind of transport, and what
// transports share.
#include "serial/tcp_transport.h"
#include "serial/transport.h"
#include "serial/tty_transport.h"

#include <unistd.h>

namespace kvt {

ssize_t Transport::Read(char* buffer, size_t size) { return ::read(fd(), buffer, size); }

ssize_t Transport::Write(const char* bytes, size_t size) { return ::write(fd(), bytes, size); }

std::unique_ptr<Transport> MakeTransport(const std::string& device) {
    if (device.rfind(TcpTransport::kScheme, 0) == 0) return std::make_unique<TcpTransport>(device);
    return std::make_unique<TtyTransport>(device);
}

}  // namespace kvt
