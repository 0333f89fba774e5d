#include "tools/cli/slave_list.h"

#include <sstream>

namespace kvt::cli {

bool ParseSlaveList(const std::string& text, std::set<int>* slaves) {
    std::stringstream list(text);
    std::string item;
    auto number = [](const std::string& s, int* n) {
        if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *n = std::stoi(s);
        return *n <= 31;
    };
    while (std::getline(list, item, ',')) {
        const size_t dash = item.find('-');
        int first, last;
        if (dash == std::string::npos) {
            if (!number(item, &first)) return false;
            last = first;
        } else if (!number(item.substr(0, dash), &first) || !number(item.substr(dash + 1), &last) ||
                   last < first) {
            return false;
        }
        for (int n = first; n <= last; ++n) slaves->insert(n);
    }
    return !slaves->empty() && text.back() != ',';
}

}  // namespace kvt::cli
