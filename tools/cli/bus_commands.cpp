// deploy and read-all: every slave of an RS-485 bus, one after the other,
// with a table of results and a JSON report.
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <vector>

#include "protocol/slave_list.h"
#include "tools/cli/cli.h"
#include "tools/cli/port_session.h"
#include "tools/cli/sign_progress.h"
#include "tools/cli/sign_results.h"

namespace kvt::cli {

namespace {

// The slaves as the progress and the results see them: the signs of one
// line, "slave NN" each; for read-all each slave's file, written as soon as
// the slave is done.
class BusSigns : public BusView {
public:
    BusSigns(const std::vector<int>& slaves, std::string readDir, Clock& clock)
        : lines_(1),
          readDir_(std::move(readDir)),
          progress_(lines_, clock,
                    ::isatty(2) == 1 ? SignProgress::Look::Bar : SignProgress::Look::Lines,
                    !readDir_.empty()) {
        for (int slave : slaves)
            lines_[0].signs.push_back({"slave " + TwoDigits(slave), slave, {}, 0, ""});
        progress_.FleetStarted();
    }

    void SlaveRunStarted(int, RunKind kind) override { progress_.SignRunStarted(0, next_, kind); }
    void StepDone(int, int step) override { progress_.StepDone(0, next_, step); }
    void SlaveDone(const SlaveResult& result, const Session& session) override {
        SlaveResult kept = result;
        if (!readDir_.empty() && result.ok())
            WriteSignFile(readDir_ + "/slave-" + TwoDigits(result.slave) + ".dat", session, &kept);
        progress_.SignDone(0, next_++, kept, session);
        rows.push_back({"", "", kept});
    }

    std::vector<SignRow> rows;  // the slaves done

private:
    std::vector<FleetLine> lines_;
    std::string readDir_;
    SignProgress progress_;
    size_t next_ = 0;  // the slave in hand
};

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
              const std::vector<int>& slaves, const std::string& readDir = "") {
    Args busArgs = args;
    busArgs.rs485 = true;
    const PortOptions options = ApplyLinkOptions(busArgs, session);
    PortSession port(session, options);
    if (!port.Open()) return port.OpenFailedStatus();
    port.seam().SetQuiet(true);
    BusSigns signs(slaves, readDir, port.clock());
    const bool done = port.RunBus(job, slaves, args.verify, options.pacing, &signs);
    return FinishResults(ResultsOf::Bus, args.report, command, signs.rows, !done);
}

}  // namespace

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
    return RunBusJob(args, "deploy", session, BusJob::Deploy, slaves);
}

int RunReadAll(const Args& args) {
    if (args.positional.size() != 1) return UsageError("read-all needs DIR");
    std::vector<int> slaves;
    std::string error;
    if (!SlavesOf(args, &slaves, &error)) return UsageError(error);
    const std::string dir = args.positional[0];
    ::mkdir(dir.c_str(), 0777);  // the umask applies; an existing folder is fine
    Session session;
    return RunBusJob(args, "read-all", session, BusJob::ReadAll, slaves, dir);
}

}  // namespace kvt::cli
