// Helpers for the bulk-transfer tests: the program's link pointed at the
// simulated sign, and a message seam that keeps each box open for a while.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include "app/reply_pump.h"
#include "app_test_support.h"
#include "serial/command_port.h"
#include "serial/serial_link.h"
#include "support/recording_seam.h"

namespace kvt::test {

// Records the boxes; each stays "open" for openMs in a nested event loop,
// as a real box does, so that timer ticks arrive meanwhile.
class HoldingSeam : public RecordingSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        BoxResult result = RecordingSeam::Show(box);
        QEventLoop loop;
        QTimer::singleShot(openMs, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }
    int openMs = 0;
};

// The serial link of the program, with its reply pump, on the sign's pty.
class LinkToSign {
public:
    explicit LinkToSign(const QString& device)
        : link_([this](const std::string& line) { pump_.Post(line); }) {
        link_.OpenPort(device.toStdString());
        link_.StartReadThread();
        InstallCommandPort(&link_);
    }
    ~LinkToSign() {
        link_.CloseLink();
        InstallCommandPort(nullptr);
    }
    SerialLink& link() { return link_; }

private:
    ReplyPump pump_;
    SerialLink link_;
};

}  // namespace kvt::test
