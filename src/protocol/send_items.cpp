#include "protocol/send_items.h"

#include <algorithm>

#include "protocol/slave_list.h"

namespace kvt {

namespace {

// A function's own, so that tables built at start-up from it find it built.
const std::vector<SendItem>& Items() {
    static const std::vector<SendItem> items = {
        {"text", true,
         [](const PanelSettings& s, int, int p) { return BuildTextCommand(s, 'A', p); }},
        {"text-nomem", true,
         [](const PanelSettings& s, int, int p) { return BuildTextCommand(s, 'N', p); }},
        {"fill", true,
         [](const PanelSettings& s, int, int p) { return BuildFillBorderPage(s, p); }},
        {"fill-all", false, [](const PanelSettings& s, int, int) { return BuildFillBorderAll(s); }},
        {"white", false, [](const PanelSettings& s, int, int) { return BuildWhiteLevelAll(s); }},
        {"colour", true, [](const PanelSettings& s, int, int p) { return BuildColourPage(s, p); }},
        {"blink", true, [](const PanelSettings& s, int, int p) { return BuildBlinkPage(s, p); }},
        {"page", false,
         [](const PanelSettings& s, int current, int) { return BuildPageSelect(s, current); }},
        {"time", false, [](const PanelSettings& s, int, int) { return BuildDisplayTimeAll(s); }},
        {"hpos", false, [](const PanelSettings& s, int, int) { return BuildHPosition(s); }},
        {"vpos", false, [](const PanelSettings& s, int, int) { return BuildVPosition(s); }},
    };
    return items;
}

// What the check goes through: of each page its text, colours, blink and
// fill, then the items for all pages ("text-nomem" checks as "text" does).
const char* const kCheckedPageItems[] = {"text", "colour", "blink", "fill"};

}  // namespace

const std::vector<SendItem>& SendItems() { return Items(); }

const SendItem* FindSendItem(const std::string& name) {
    const std::vector<SendItem>& items = Items();
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const SendItem& item) { return name == item.name; });
    return found == items.end() ? nullptr : &*found;
}

std::vector<Refusal> RefusedCommands(const PanelSettings& s, int currentPage) {
    std::vector<Refusal> refused;
    auto check = [&](const std::string& what, const Command& command) {
        if (command.rejected()) refused.push_back({what, command.message});
    };
    for (int p = 0; p < kPageCount; ++p)
        for (const char* name : kCheckedPageItems)
            check("page " + TwoDigits(p + 1) + " " + name,
                  FindSendItem(name)->build(s, currentPage, p));
    for (const SendItem& item : Items())
        if (!item.takesPage) check(item.name, item.build(s, currentPage, 0));
    return refused;
}

}  // namespace kvt
