// What the fuzz targets share: a message-box seam that counts instead of
// printing, a port that keeps what would go on the wire, and a check that
// aborts (so libFuzzer keeps the input) when a property does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/command_port.h"
#include "session/session.h"

namespace kvt::fuzz {

class QuietSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        ++shown;
        return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
    }
    int shown = 0;
};

class WirePort : public CommandPort {
public:
    void WritePort(const std::string& bytes) override { written.push_back(bytes); }
    void ClosePort() override {}
    std::vector<std::string> written;
};

// A session whose boxes are counted and whose lines are kept.
struct FuzzSession {
    FuzzSession() { session.SetPort(&port); }
    QuietSeam seam;
    WirePort port;
    Session session{&seam};
};

inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}

}  // namespace kvt::fuzz
