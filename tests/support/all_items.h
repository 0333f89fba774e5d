// Test helper: the 102 commands of an all-items run, said once, by their
// heads.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kvt::test {

// The heads of the commands, in order: the texts of pages 1..32, fill,
// white level, the colours and the blink of pages 1..32, the page select
// (pageSelect), the display times and the positions (of a new store).
inline std::vector<std::string> AllItemsHeads(const std::string& pageSelect = "P01") {
    auto page = [](const char* head, int p, const char* tail) {
        char text[16];
        std::snprintf(text, sizeof text, "%s%02d%s", head, p, tail);
        return std::string(text);
    };
    std::vector<std::string> heads;
    for (int p = 1; p <= 32; ++p) heads.push_back(page("CA", p, ""));
    heads.insert(heads.end(), {"PTFB", "PTWL"});
    for (int p = 1; p <= 32; ++p) heads.push_back(page("P", p, "ICLT"));
    for (int p = 1; p <= 32; ++p) heads.push_back(page("P", p, "BDLT"));
    heads.insert(heads.end(), {pageSelect, "PTCT", "PH08", "PV08"});
    return heads;
}

// Each line, after skip bytes (a slave number), cut to the length of the
// head at its place.
inline std::vector<std::string> HeadsOf(const std::vector<std::string>& lines,
                                        const std::vector<std::string>& heads, size_t skip = 0) {
    std::vector<std::string> cut;
    for (size_t i = 0; i < lines.size(); ++i)
        cut.push_back(lines[i].substr(skip, i < heads.size() ? heads[i].size() : 4));
    return cut;
}

}  // namespace kvt::test
