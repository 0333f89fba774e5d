#include "protocol/slave_list.h"

#include <cstdio>
#include <sstream>

namespace kvt {

namespace {

bool SlaveNumber(const std::string& text, int last, int* n) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *n = std::stoi(text);
    return *n <= last;
}

}  // namespace

std::string TwoDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

bool ParseSlaveList(const std::string& text, int last, std::set<int>* slaves) {
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t dash = item.find('-');
        int first, end;
        if (dash == std::string::npos) {
            if (!SlaveNumber(item, last, &first)) return false;
            end = first;
        } else if (!SlaveNumber(item.substr(0, dash), last, &first) ||
                   !SlaveNumber(item.substr(dash + 1), last, &end) || end < first) {
            return false;
        }
        for (int n = first; n <= end; ++n) slaves->insert(n);
    }
    return !slaves->empty() && text.back() != ',';
}

std::string SlaveListNeed(int last) {
    return "slave numbers 0.." + std::to_string(last) + " like 0,3,5-9";
}

}  // namespace kvt
