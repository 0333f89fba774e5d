// A serial device over POSIX termios: 38400 bit/s, 8 data bits, even parity
// on output, 1 stop bit, raw, RTS/CTS and XON/XOFF, DTR raised while open,
// claimed exclusively.
#pragma once

#include <string>

#include "serial/transport.h"

namespace kvt {

class TtyTransport : public Transport {
public:
    explicit TtyTransport(std::string devicePath) : path_(std::move(devicePath)) {}
    ~TtyTransport() override;

    // Each failing step reports its message and the later steps still run,
    // so a missing device gives "Miss! File Open", "Miss! Mask Set",
    // "Miss! Buffer Set", "Miss! Time Out Set", "Miss! Set Comm State" in
    // that order; lack of permission adds a message naming the group that
    // owns the device.
    bool Open(const Report& report) override;
    int fd() const override { return fd_; }
    void DiscardInput() override;
    const std::string& name() const override { return path_; }
    // "/dev/ttyUSB0: No such file or directory (Miss! File Open)": the
    // device, the system's reason and the first step that failed.
    std::string Failure() const override { return failure_; }

private:
    void Close();
    void NoteFailure(const char* step, int error);

    std::string path_;
    int fd_ = -1;
    std::string failure_;
};

}  // namespace kvt
