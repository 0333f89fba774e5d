// The one place that maps a device name to its kind of transport, and what
// transports share.
#include "serial/rfc2217_transport.h"
#include "serial/tcp_transport.h"
#include "serial/transport.h"
#include "serial/tty_transport.h"

#include <unistd.h>

#include "loop/event_loop.h"

namespace kvt {

ssize_t Transport::Read(char* buffer, size_t size) { return ::read(fd(), buffer, size); }

ssize_t Transport::Write(const char* bytes, size_t size) { return ::write(fd(), bytes, size); }

void Transport::OpenOn(EventLoop& loop, Report report, Opened done) {
    loop.PostTask([this, alive = Alive(), report = std::move(report), done = std::move(done)] {
        if (alive.expired()) return;
        done(Open(report));
    });
}

bool Transport::OpenOnOwnLoop(const Report& report) {
    EventLoop loop;
    if (!loop.ok()) {
        report("Cannot connect to " + name() + ": " + loop.failure());
        return false;
    }
    bool finished = false;
    bool usable = false;
    OpenOn(loop, report, [&](bool opened) {
        finished = true;
        usable = opened;
    });
    loop.RunUntil([&] { return finished; }, INT64_MAX, nullptr);
    return usable;
}

std::unique_ptr<Transport> MakeTransport(const std::string& device) {
    if (device.rfind(Rfc2217Transport::kScheme, 0) == 0) return std::make_unique<Rfc2217Transport>(device);
    // Any other network address: the TCP transport, whose Open says what is
    // wrong with one it cannot reach.
    if (TcpTransport::IsNetworkAddress(device)) return std::make_unique<TcpTransport>(device);
    return std::make_unique<TtyTransport>(device);
}

}  // namespace kvt
