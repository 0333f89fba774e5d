// send and display: the command lines, on the wire or (--dry-run) on
// standard output.
#include <cstdio>

#include "protocol/send_items.h"
#include "serial/command_port.h"
#include "tools/cli/cli.h"
#include "tools/cli/outcome_table.h"
#include "tools/cli/port_session.h"
#include "transfer/run_steps.h"

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
        allSent =
            DryRunStep(session, step, StepCommand(session, RunKind::AllItems, step)) && allSent;
    session.SetPort(nullptr);
    return allSent ? kExitOk : kExitFailed;
}

int SendOneOverPort(Session& session, const Command& command, const PortOptions& options) {
    if (command.rejected()) {
        std::fprintf(stderr, "%s\n", command.message.c_str());
        return kExitFailed;
    }
    PortSession port(session, options);
    if (!port.Open()) return port.OpenFailedStatus();
    session.Dispatch(command);
    if (!port.AwaitReplies()) return InterruptedExit();
    if (port.tally().notUnderstood > 0)
        std::fprintf(stderr, "kvt540m-cli: %s\n", RunStopText(RunOutcome::NotUnderstood));
    return port.AllAnswered() && !port.seam().replies().empty() ? kExitOk : kExitFailed;
}

int SendAllItemsOverPort(Session& session, const PortOptions& options) {
    PortSession port(session, options);
    RunOutcome outcome;
    int status;
    if (!port.RunToTheEnd(RunKind::AllItems, &outcome, &status)) return status;
    if (outcome != RunOutcome::Finished)
        std::fprintf(stderr, "kvt540m-cli: %s\n", RunStopText(outcome));
    return port.AllAnswered() ? RunStatus(outcome) : kExitFailed;
}

int Send(Session& session, const Command& command, const Args& args) {
    const PortOptions options = ApplyLinkOptions(args, session);
    return args.dryRun ? DryRunOne(session, command) : SendOneOverPort(session, command, options);
}

}  // namespace

std::vector<std::string> SendItemNames() {
    std::vector<std::string> names = {"all"};
    for (const SendItem& item : SendItems()) names.push_back(item.name);
    return names;
}

int RunSend(const Args& args) {
    if (args.positional.empty()) return UsageError("send needs FILE.dat");
    if (args.positional.size() > 2) return UsageError("too many arguments");
    const std::string itemName = args.positional.size() == 2 ? args.positional[1] : "all";
    const SendItem* item = FindSendItem(itemName);
    if (!item && itemName != "all") return UsageError("unknown ITEM \"" + itemName + "\"");
    const bool takesPage = item && item->takesPage;
    if (takesPage && args.page == 0) return UsageError(itemName + " needs --page N");
    if (!takesPage && args.page != 0) return UsageError(itemName + " takes no --page");

    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    if (item)
        return Send(session, item->build(session.panelSettings, session.currentPage, args.page - 1),
                    args);
    const PortOptions options = ApplyLinkOptions(args, session);
    return args.dryRun ? DryRunAllItems(session) : SendAllItemsOverPort(session, options);
}

int RunDisplay(const Args& args) {
    if (args.positional.size() != 1) return UsageError("display needs on or off");
    const std::string& choice = args.positional[0];
    if (choice != "on" && choice != "off") return UsageError("display needs on or off");
    Session session;
    session.displayOn = choice == "on" ? 1 : 0;
    return Send(session, BuildDisplayOnOff(session.displayOn), args);
}

}  // namespace kvt::cli
