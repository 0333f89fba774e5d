#include "tools/cli/bus_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "protocol/slave_list.h"
#include "settings/settings_file.h"
#include "tools/cli/bus_report.h"
#include "tools/cli/outcome_table.h"
#include "tools/cli/port_session.h"
#include "transfer/sign_compare.h"

namespace kvt::cli {

namespace {

// Progress per slave and step on standard error, the results as they come,
// and for read-all each slave's file.
class BusProgress : public BusView {
public:
    explicit BusProgress(std::string readDir = "") : dir_(std::move(readDir)), bar_(::isatty(2) == 1) {}
    ~BusProgress() override { EndBar(); }

    void SlaveRunStarted(int slave, RunKind kind) override {
        EndBar();
        label_ = "slave " + TwoDigits(slave) + (kind == RunKind::ReadBack && dir_.empty() ? " verify" : "");
        lastStep_ = LastStep(kind);
    }
    void StepDone(int /*slave*/, int step) override {
        if (!bar_) {
            std::fprintf(stderr, "%s step %d\n", label_.c_str(), step);
            return;
        }
        barShown_ = true;
        std::fprintf(stderr, "\r%s: step %d/%d", label_.c_str(), step, lastStep_);
        std::fflush(stderr);
    }
    void SlaveDone(const SlaveResult& result, const Session& session) override {
        EndBar();
        SlaveResult kept = result;
        if (!dir_.empty() && result.ok()) {
            std::string message;
            const std::string path = dir_ + "/slave-" + TwoDigits(result.slave) + ".dat";
            if (WriteSettingsFile(path, session.panelSettings, session.currentPage, &message) !=
                SaveResult::Ok) {
                kept.problem = SignProblem::FileNotWritten;
                kept.detail = message;
            }
        }
        results.push_back(kept);
    }

    std::vector<SlaveResult> results;

private:
    void EndBar() {
        if (barShown_) std::fputc('\n', stderr);
        barShown_ = false;
    }

    std::string dir_;
    bool bar_;
    bool barShown_ = false;
    std::string label_;
    int lastStep_ = 0;
};

// The table of results on standard output; true when every slave succeeded.
bool PrintTable(const std::vector<SlaveResult>& results) {
    std::printf("slave  result                              seconds\n");
    for (const SlaveResult& r : results)
        std::printf("   %02d  %-34s %7.1f\n", r.slave, ResultText(r).c_str(), r.ms / 1000.0);
    return ResultsStatus(results, false) == kExitOk;
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
    if (interrupted) return InterruptedExit();
    return allOk ? kExitOk : kExitFailed;
}

bool SlavesOf(const Args& args, std::vector<int>* slaves, std::string* error) {
    std::set<int> set;
    if (args.slaves.empty()) {
        *error = "--slaves LIST is needed (like 0,3,5-9)";
        return false;
    }
    if (!ParseSlaveList(args.slaves, kLastSlave, &set)) {
        *error = "--slaves needs " + SlaveListNeed(kLastSlave);
        return false;
    }
    slaves->assign(set.begin(), set.end());
    return true;
}

// Runs the bus job on the port named by the options; the exit status.
int RunBusJob(const Args& args, const char* command, Session& session, BusJob job,
              const std::vector<int>& slaves, BusProgress& progress) {
    Args busArgs = args;
    busArgs.rs485 = true;
    const PortOptions options = ApplyLinkOptions(busArgs, session);
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    port.seam().SetQuiet(true);
    const bool done = port.RunBus(job, slaves, args.verify, options.pacing, &progress);
    return Finish(args, command, progress.results, !done);
}

}  // namespace

std::string WholeSendProblem(const PanelSettings& settings, int currentPage) {
    Session session;
    session.panelSettings = settings;
    session.currentPage = currentPage;
    for (int step = 1; step <= kAllItemsLastStep; ++step) {
        const Command command = StepCommand(session, RunKind::AllItems, step);
        if (command.rejected()) return command.message;
    }
    return "";
}

int RunVerify(const Args& args) {
    if (args.positional.size() != 1) return UsageError("verify needs FILE.dat");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const PanelSettings file = session.panelSettings;
    const int filePage = session.currentPage;
    const PortOptions options = ApplyLinkOptions(args, session);
    PortSession port(session, options);
    if (!port.Open()) return kExitFailed;
    session.ResetSettings();
    RunEnd end;
    if (!port.Run(RunKind::ReadBack, options.pacing, &end, true) ||
        (end == RunEnd::Finished && !port.AwaitReplies()))
        return InterruptedExit();
    if (end != RunEnd::Finished || !port.AllAnswered()) {
        std::fprintf(stderr, "kvt540m-cli: the read-back failed: %s\n",
                     ReadBackFailureText(OutcomeOf(end, port.tally().notUnderstood > 0)));
        return kExitFailed;
    }
    const std::vector<std::string> differences =
        CompareWithSign(file, filePage, session.panelSettings, session.currentPage);
    for (const std::string& difference : differences) std::printf("%s\n", difference.c_str());
    if (differences.empty()) std::printf("The sign holds what the file says.\n");
    return differences.empty() ? kExitOk : kExitDiffers;
}

int RunDeploy(const Args& args) {
    if (args.positional.size() != 1) return UsageError("deploy needs FILE.dat");
    std::vector<int> slaves;
    std::string error;
    if (!SlavesOf(args, &slaves, &error)) return UsageError(error);
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const std::string why = WholeSendProblem(session.panelSettings, session.currentPage);
    if (!why.empty()) {
        std::fprintf(stderr, "kvt540m-cli: %s cannot be sent whole (see check): %s\n",
                     args.positional[0].c_str(), why.c_str());
        return kExitFailed;
    }
    BusProgress progress;
    return RunBusJob(args, "deploy", session, BusJob::Deploy, slaves, progress);
}

int RunReadAll(const Args& args) {
    if (args.positional.size() != 1) return UsageError("read-all needs DIR");
    std::vector<int> slaves;
    std::string error;
    if (!SlavesOf(args, &slaves, &error)) return UsageError(error);
    const std::string dir = args.positional[0];
    ::mkdir(dir.c_str(), 0777);  // the umask applies; an existing folder is fine
    Session session;
    BusProgress progress(dir);
    return RunBusJob(args, "read-all", session, BusJob::ReadAll, slaves, progress);
}

}  // namespace kvt::cli
