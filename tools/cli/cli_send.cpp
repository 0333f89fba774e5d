// send and display: the command lines, on the wire or (--dry-run) on
// standard output.
#include <cstdio>

#include "protocol/command_set.h"
#include "serial/command_port.h"
#include "transfer/run_steps.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

// Stands in for the serial port: the bytes go to standard output as they
// would go on the wire, prefix included.
class StdoutPort : public CommandPort {
public:
    void WritePort(const std::string& bytes) override {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    void ClosePort() override {}
};

struct Item {
    const char* name;
    bool takesPage;
    // page index 0..31 (unused by the items that take none)
    Command (*build)(const Session& session, int page);
};

const Item kItems[] = {
    {"text", true, [](const Session& s, int p) { return BuildTextCommand(s.panelSettings, 'A', p); }},
    {"text-nomem", true,
     [](const Session& s, int p) { return BuildTextCommand(s.panelSettings, 'N', p); }},
    {"fill", true, [](const Session& s, int p) { return BuildFillBorderPage(s.panelSettings, p); }},
    {"fill-all", false, [](const Session& s, int) { return BuildFillBorderAll(s.panelSettings); }},
    {"white", false, [](const Session& s, int) { return BuildWhiteLevelAll(s.panelSettings); }},
    {"colour", true, [](const Session& s, int p) { return BuildColourPage(s.panelSettings, p); }},
    {"blink", true, [](const Session& s, int p) { return BuildBlinkPage(s.panelSettings, p); }},
    {"page", false,
     [](const Session& s, int) { return BuildPageSelect(s.panelSettings, s.currentPage); }},
    {"time", false, [](const Session& s, int) { return BuildDisplayTimeAll(s.panelSettings); }},
    {"hpos", false, [](const Session& s, int) { return BuildHPosition(s.panelSettings); }},
    {"vpos", false, [](const Session& s, int) { return BuildVPosition(s.panelSettings); }},
};

const Item* FindItem(const std::string& name) {
    for (const Item& item : kItems)
        if (name == item.name) return &item;
    return nullptr;
}

// Sends one built step, or reports its rejection. False when it was rejected.
bool DryRunStep(Session& session, int step, const Command& command) {
    if (command.rejected()) {
        std::fprintf(stderr, "step %d: %s\n", step, command.message.c_str());
        return false;
    }
    if (!command.line.empty()) session.SendCommand(command.line);
    return true;
}

int DryRunOne(Session& session, const Command& command) {
    StdoutPort port;
    session.SetPort(&port);
    const bool sent = DryRunStep(session, 1, command);
    session.SetPort(nullptr);
    return sent ? kExitOk : kExitFailed;
}

int DryRunAllItems(Session& session) {
    StdoutPort port;
    session.SetPort(&port);
    bool allSent = true;
    for (int step = 1; step <= kAllItemsLastStep; ++step)
        allSent = DryRunStep(session, step, StepCommand(session, RunKind::AllItems, step)) && allSent;
    session.SetPort(nullptr);
    return allSent ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<std::string> SendItems() {
    std::vector<std::string> names = {"all"};
    for (const Item& item : kItems) names.push_back(item.name);
    return names;
}

int RunSend(const Args& args) {
    if (args.positional.empty()) return UsageError("send needs FILE.dat");
    if (args.positional.size() > 2) return UsageError("too many arguments");
    const std::string itemName = args.positional.size() == 2 ? args.positional[1] : "all";
    const Item* item = FindItem(itemName);
    if (!item && itemName != "all") return UsageError("unknown ITEM \"" + itemName + "\"");
    const bool takesPage = item && item->takesPage;
    if (takesPage && args.page == 0) return UsageError(itemName + " needs --page N");
    if (!takesPage && args.page != 0) return UsageError(itemName + " takes no --page");

    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const PortOptions options = ApplyLinkOptions(args, session);
    if (!item)
        return args.dryRun ? DryRunAllItems(session) : SendAllItemsOverPort(session, options);
    const Command command = item->build(session, args.page - 1);
    return args.dryRun ? DryRunOne(session, command) : SendSingleOverPort(session, command, options);
}

int RunDisplay(const Args& args) {
    if (args.positional.size() != 1) return UsageError("display needs on or off");
    const std::string& choice = args.positional[0];
    if (choice != "on" && choice != "off") return UsageError("display needs on or off");
    Session session;
    session.displayOn = choice == "on" ? 1 : 0;
    const PortOptions options = ApplyLinkOptions(args, session);
    const Command command = BuildDisplayOnOff(session.displayOn);
    return args.dryRun ? DryRunOne(session, command) : SendSingleOverPort(session, command, options);
}

}  // namespace kvt::cli
