// What the fuzz targets share: a message-box seam that counts instead of
// printing, a port that keeps what would go on the wire, a check that
// aborts (so libFuzzer keeps the input) when a property does not hold, the
// bounds of an import's problems, and slave lists written as --slaves takes
// them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <set>
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

// A refused import says what is wrong in a few lines of bounded length,
// whatever the file holds.
inline void CheckProblemLines(const std::vector<std::string>& lines) {
    Check(lines.size() <= 21, "at most 20 problems and the count of the rest");
    for (const std::string& line : lines) Check(line.size() <= 1024, "a problem line is bounded");
}

// "0,3,5-9": runs of two or more as ranges.
inline std::string SlaveListText(const std::set<int>& slaves) {
    std::string text;
    for (auto it = slaves.begin(); it != slaves.end();) {
        const int first = *it;
        int last = first;
        while (++it != slaves.end() && *it == last + 1) ++last;
        text += (text.empty() ? "" : ",") + std::to_string(first);
        if (last > first) text += "-" + std::to_string(last);
    }
    return text;
}

}  // namespace kvt::fuzz
