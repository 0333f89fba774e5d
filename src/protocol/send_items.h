// The parts of the store that can go to the sign one command at a time, by
// the names the command-line tool takes them by, and the check of a whole
// store against what the sign takes.
#pragma once

#include <string>
#include <vector>

#include "protocol/command_set.h"

namespace kvt {

struct SendItem {
    const char* name;  // "text", "text-nomem", "fill", ...
    bool takesPage;
    // page: the page index 0..31 (for the items that take one)
    Command (*build)(const PanelSettings& s, int currentPage, int page);
};

// Every item, in the order the help lists them.
const std::vector<SendItem>& SendItems();
// The item of that name, or nullptr.
const SendItem* FindSendItem(const std::string& name);

// A command the sign would refuse from a store: what it sends ("page 01
// text", "fill-all", ...) and the message the program shows for it.
struct Refusal {
    std::string what;
    std::string message;
};

// Every command of the store the sign would refuse, page by page, then the
// items for all pages.
std::vector<Refusal> RefusedCommands(const PanelSettings& s, int currentPage);

}  // namespace kvt
