// send and display: the command lines, on the wire or (--dry-run) on
// standard output.
#include <cstdio>

#include "protocol/command_set.h"
#include "serial/command_port.h"
#include "transfer/all_items_steps.h"
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
    Command (*build)(int page);  // page index 0..31 (unused by the others)
};

const Item kItems[] = {
    {"text", true, [](int p) { return BuildTextCommand('A', p); }},
    {"text-nomem", true, [](int p) { return BuildTextCommand('N', p); }},
    {"fill", true, [](int p) { return BuildFillBorderPage(p); }},
    {"fill-all", false, [](int) { return BuildFillBorderAll(); }},
    {"white", false, [](int) { return BuildWhiteLevelAll(); }},
    {"colour", true, [](int p) { return BuildColourPage(p); }},
    {"blink", true, [](int p) { return BuildBlinkPage(p); }},
    {"page", false, [](int) { return BuildPageSelect(); }},
    {"time", false, [](int) { return BuildDisplayTimeAll(); }},
    {"hpos", false, [](int) { return BuildHPosition(); }},
    {"vpos", false, [](int) { return BuildVPosition(); }},
};

const Item* FindItem(const std::string& name) {
    for (const Item& item : kItems)
        if (name == item.name) return &item;
    return nullptr;
}

// Sends one built step through SendCommand, or reports its rejection.
// Returns false when it was rejected.
bool DryRunStep(int step, const Command& command) {
    if (command.rejected()) {
        std::fprintf(stderr, "step %d: %s\n", step, command.message.c_str());
        return false;
    }
    if (!command.line.empty()) SendCommand(command.line);
    return true;
}

// Runs steps through the stdout port; the exit status.
template <typename Steps>
int DryRun(Steps steps) {
    StdoutPort port;
    InstallCommandPort(&port);
    bool allSent = steps();
    InstallCommandPort(nullptr);
    return allSent ? kExitOk : kExitFailed;
}

int DryRunOne(const Command& command) {
    return DryRun([&] { return DryRunStep(1, command); });
}

int DryRunAllItems() {
    return DryRun([] {
        bool allSent = true;
        for (int step = 1; step <= kAllItemsLastStep; ++step)
            allSent = DryRunStep(step, BuildAllItemsStep(step)) && allSent;
        return allSent;
    });
}

}  // namespace

int RunSend(const Args& args) {
    if (args.positional.empty()) return UsageError("send needs FILE.dat");
    if (args.positional.size() > 2) return UsageError("too many arguments");
    const std::string itemName = args.positional.size() == 2 ? args.positional[1] : "all";
    const Item* item = FindItem(itemName);
    if (!item && itemName != "all") return UsageError("unknown ITEM \"" + itemName + "\"");
    const bool takesPage = item && item->takesPage;
    if (takesPage && args.page == 0) return UsageError(itemName + " needs --page N");
    if (!takesPage && args.page != 0) return UsageError(itemName + " takes no --page");

    if (!LoadStore(args.positional[0])) return kExitFailed;
    PortOptions options = ApplyLinkOptions(args);
    if (!item) return args.dryRun ? DryRunAllItems() : SendAllItemsOverPort(options);
    Command command = item->build(args.page - 1);
    return args.dryRun ? DryRunOne(command) : SendSingleOverPort(command, options);
}

int RunDisplay(const Args& args) {
    if (args.positional.size() != 1) return UsageError("display needs on or off");
    const std::string& choice = args.positional[0];
    if (choice != "on" && choice != "off") return UsageError("display needs on or off");
    displayOn = choice == "on" ? 1 : 0;
    PortOptions options = ApplyLinkOptions(args);
    Command command = BuildDisplayOnOff();
    return args.dryRun ? DryRunOne(command) : SendSingleOverPort(command, options);
}

}  // namespace kvt::cli
