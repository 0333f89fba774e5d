// What the fuzz targets share: a message-box seam that counts instead of
// printing, a port that keeps what would go on the wire, and a check that
// aborts (so libFuzzer keeps the input) when a property does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/command_port.h"
#include "serial/message_box.h"

namespace kvt::fuzz {

class QuietSeam : public MessageBoxSeam {
public:
    QuietSeam() { InstallMessageBoxSeam(this); }
    ~QuietSeam() override { InstallMessageBoxSeam(nullptr); }
    BoxResult Show(const BoxRequest& box) override {
        ++shown;
        return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
    }
    int shown = 0;
};

class WirePort : public CommandPort {
public:
    WirePort() { InstallCommandPort(this); }
    ~WirePort() override { InstallCommandPort(nullptr); }
    void WritePort(const std::string& bytes) override { written.push_back(bytes); }
    void ClosePort() override {}
    std::vector<std::string> written;
};

inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}

}  // namespace kvt::fuzz
