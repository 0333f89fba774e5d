#include "tools/cli/bus_commands.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <vector>

#include "settings/settings_file.h"
#include "tools/cli/bus_report.h"
#include "tools/cli/port_session.h"
#include "transfer/sign_compare.h"

namespace kvt::cli {

namespace {

constexpr int kExitDiffers = 3;
constexpr int kExitInterrupted = 130;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string SlaveLabel(int slave) {
    char label[24];
    std::snprintf(label, sizeof label, "slave %02d ", slave);
    return label;
}

// What went wrong in the run just made on the port, or "" when every
// command was answered without an error.
std::string RunProblem(const PortSession& port, RunEnd end) {
    for (const std::string& message : port.seam().replyMessages())
        if (message != "Success" && message != "No Connect") return message;
    if (end == RunEnd::NoConnect || port.noConnectSeen()) return "No Connect";
    if (port.answered() < port.sent())
        return std::to_string(port.answered()) + " of " + std::to_string(port.sent()) + " answered";
    return "";
}

// One run on the port, counted afresh. False when interrupted.
bool RunOnce(PortSession& port, RunKind kind, const Pacing& pacing, const std::string& label,
             std::string* problem) {
    port.ResetTally();
    RunEnd end;
    if (!port.Run(kind, pacing, &end, true, label)) return false;
    if (end == RunEnd::Finished && !port.AwaitReplies()) return false;
    *problem = RunProblem(port, end);
    return true;
}

// Reads the sign back into the session's store and compares it with the
// file's store, which the session holds again afterwards. False when
// interrupted; *result says how it went.
bool VerifySign(PortSession& port, Session& session, const Pacing& pacing,
                const std::string& label, SlaveResult* result) {
    const PanelSettings file = session.panelSettings;
    const int filePage = session.currentPage;
    session.ResetSettings();
    std::string problem;
    const bool done = RunOnce(port, RunKind::ReadBack, pacing, label, &problem);
    if (done && problem.empty()) {
        result->differences =
            CompareWithSign(file, filePage, session.panelSettings, session.currentPage);
    }
    result->error = problem;
    session.panelSettings = file;
    session.currentPage = filePage;
    return done;
}

// The table of results on standard output; true when every slave succeeded.
bool PrintTable(const std::vector<SlaveResult>& results) {
    std::printf("slave  result                              seconds\n");
    bool allOk = true;
    for (const SlaveResult& r : results) {
        std::printf("   %02d  %-34s %7.1f\n", r.slave, r.Summary().c_str(), r.seconds);
        allOk = allOk && r.ok();
    }
    return allOk;
}

int Finish(const Args& args, const char* command, const std::vector<SlaveResult>& results,
           bool interrupted) {
    const bool allOk = PrintTable(results);
    if (!args.report.empty()) {
        std::string error;
        if (!WriteBusReport(args.report, command, results, &error)) {
            std::fprintf(stderr, "kvt540m-cli: %s\n", error.c_str());
            return kExitFailed;
        }
    }
    if (interrupted) {
        std::fprintf(stderr, "kvt540m-cli: interrupted\n");
        return kExitInterrupted;
    }
    return allOk ? kExitOk : kExitFailed;
}

bool SlavesOf(const Args& args, std::set<int>* slaves, std::string* error) {
    if (args.slaves.empty()) {
        *error = "--slaves LIST is needed (like 0,3,5-9)";
        return false;
    }
    if (ParseSlaveList(args.slaves, slaves)) return true;
    *error = "--slaves needs slave numbers 0..31 like 0,3,5-9";
    return false;
}

}  // namespace

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
        if (dash == std::string::npos ? !number(item, &first)
                                      : !number(item.substr(0, dash), &first) ||
                                            !number(item.substr(dash + 1), &last) || last < first)
            return false;
        if (dash == std::string::npos) last = first;
        for (int n = first; n <= last; ++n) slaves->insert(n);
    }
    return !slaves->empty() && text.back() != ',';
}

int RunVerify(const Args& args) {
    if (args.positional.size() != 1) return UsageError("verify needs FILE.dat");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const PortOptions options = ApplyLinkOptions(args, session);
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    SlaveResult result;
    result.slave = session.slaveNo;
    if (!VerifySign(port, session, options.pacing, "", &result)) {
        std::fprintf(stderr, "kvt540m-cli: interrupted\n");
        return kExitInterrupted;
    }
    if (!result.error.empty()) {
        std::fprintf(stderr, "kvt540m-cli: the read-back failed: %s\n", result.error.c_str());
        return kExitFailed;
    }
    for (const std::string& difference : result.differences)
        std::printf("%s\n", difference.c_str());
    if (result.differences.empty()) std::printf("The sign holds what the file says.\n");
    return result.differences.empty() ? kExitOk : kExitDiffers;
}

int RunDeploy(const Args& args) {
    if (args.positional.size() != 1) return UsageError("deploy needs FILE.dat");
    std::set<int> slaves;
    std::string error;
    if (!SlavesOf(args, &slaves, &error)) return UsageError(error);
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    for (int step = 1; step <= kAllItemsLastStep; ++step) {
        const Command command = StepCommand(session, RunKind::AllItems, step);
        if (command.rejected()) {
            std::fprintf(stderr, "kvt540m-cli: %s cannot be sent whole (see check): %s\n",
                         args.positional[0].c_str(), command.message.c_str());
            return kExitFailed;
        }
    }
    Args busArgs = args;
    busArgs.rs485 = true;
    const PortOptions options = ApplyLinkOptions(busArgs, session);
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    port.seam().SetQuiet(true);
    std::vector<SlaveResult> results;
    for (int slave : slaves) {
        const auto start = std::chrono::steady_clock::now();
        session.slaveNo = slave;
        SlaveResult result;
        result.slave = slave;
        bool done = RunOnce(port, RunKind::AllItems, options.pacing, SlaveLabel(slave), &result.error);
        if (done && result.error.empty() && args.verify)
            done = VerifySign(port, session, options.pacing, SlaveLabel(slave) + "verify ", &result);
        result.seconds = SecondsSince(start);
        if (!done) return Finish(args, "deploy", results, true);
        results.push_back(result);
    }
    return Finish(args, "deploy", results, false);
}

int RunReadAll(const Args& args) {
    if (args.positional.size() != 1) return UsageError("read-all needs DIR");
    std::set<int> slaves;
    std::string error;
    if (!SlavesOf(args, &slaves, &error)) return UsageError(error);
    const std::string dir = args.positional[0];
    ::mkdir(dir.c_str(), 0777);  // the umask applies; an existing folder is fine
    Session session;
    Args busArgs = args;
    busArgs.rs485 = true;
    const PortOptions options = ApplyLinkOptions(busArgs, session);
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    port.seam().SetQuiet(true);
    std::vector<SlaveResult> results;
    for (int slave : slaves) {
        const auto start = std::chrono::steady_clock::now();
        session.slaveNo = slave;
        session.ResetSettings();
        SlaveResult result;
        result.slave = slave;
        if (!RunOnce(port, RunKind::ReadBack, options.pacing, SlaveLabel(slave), &result.error))
            return Finish(args, "read-all", results, true);
        if (result.error.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "/slave-%02d.dat", slave);
            std::string message;
            if (WriteSettingsFile(dir + name, session.panelSettings, session.currentPage,
                                  &message) != SaveResult::Ok)
                result.error = message;
        }
        result.seconds = SecondsSince(start);
        results.push_back(result);
    }
    return Finish(args, "read-all", results, false);
}

}  // namespace kvt::cli
