// fleet deploy, fleet verify and fleet read: every line of a sheet at once,
// from one process, the signs of each line one after another.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "exchange/fleet_sheet.h"
#include "profile/profile.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"
#include "tools/cli/interrupt.h"
#include "tools/cli/sign_progress.h"
#include "tools/cli/sign_results.h"
#include "text/file_name.h"
#include "transfer/loop_opener.h"
#include "transfer/run_steps.h"

namespace kvt::cli {

namespace {

struct Job {
    const char* word;
    BusJob job;
};

const Job kJobs[] = {
    {"deploy", BusJob::Deploy}, {"verify", BusJob::Verify}, {"read", BusJob::ReadAll}};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A folder for the files of a read or the traces; one there already is fine,
// anything else there (a file, say) is refused before any sign is read.
bool MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat info {};
    if (errno == EEXIST) {
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
        errno = ENOTDIR;
    }
    std::fprintf(stderr, "kvt540m-cli: cannot make the folder %s: %s\n", Clipped(path).c_str(),
                 std::strerror(errno));
    return false;
}

// The sheet's lines for the job; false (the problems printed) when the
// sheet has any.
bool ReadSheet(const std::string& sheet, BusJob job, std::vector<FleetLine>* lines) {
    std::string bytes;
    if (!ReadInput(sheet, &bytes)) return false;
    FleetSheetUse use;
    use.device = ResolvePortName;
    use.files = job != BusJob::ReadAll;
    if (job == BusJob::Deploy) use.check = WholeSendProblem;
    if (job == BusJob::ReadAll) use.fileName = FileNameOf;
    const std::vector<std::string> problems = ReadFleetSheet(bytes, FolderOf(sheet), use, lines);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "kvt540m-cli: %s: %s\n", Clipped(sheet).c_str(), problem.c_str());
    if (problems.empty() && lines->empty())
        std::fprintf(stderr, "kvt540m-cli: %s: no sign in the sheet\n", Clipped(sheet).c_str());
    if (problems.empty() && !lines->empty()) return true;
    std::fprintf(stderr, "kvt540m-cli: nothing %s\n", job == BusJob::ReadAll ? "read" : "sent");
    return false;
}

// The run's progress, and for a read each sign's file in DIR/NAME.dat,
// written as soon as the sign is done and put in place as the run ends.
class FleetSigns : public SignProgress {
public:
    FleetSigns(const FleetRun& run, Clock& clock, std::string readDir)
        : SignProgress(run.lines(), clock, ::isatty(STDERR_FILENO) == 1 ? Look::Rows : Look::Lines,
                       !readDir.empty()),
          run_(run),
          readDir_(std::move(readDir)) {}

    void SignDone(size_t line, size_t sign, const SlaveResult& result,
                  const Session& session) override {
        SlaveResult kept = result;
        if (!readDir_.empty() && result.ok()) {
            const std::string path =
                readDir_ + "/" + FileNameOf(run_.lines()[line].signs[sign].name) + ".dat";
            WriteSignFile(path, session, &kept, &files_);
            if (kept.ok())
                written_[path] = {line, sign};
            else
                unwritten_[{line, sign}] = kept;
        }
        SignProgress::SignDone(line, sign, kept, session);
    }

    // The files of a read synced to the disk once for all of them (a sync
    // per file would hold every line meanwhile) and put in place; a file
    // that could not be fails its sign.
    void Finish() override {
        for (const auto& [path, why] : files_.Finish()) {
            const auto [line, sign] = written_.at(path);
            SlaveResult failed = run_.results()[line][sign];
            failed.problem = SignProblem::FileNotWritten;
            failed.detail = why;
            unwritten_[{line, sign}] = failed;
        }
        SignProgress::Finish();
    }

    // What the run says of each sign, with the files a read could not write.
    SlaveResult ResultOf(size_t line, size_t sign) const {
        auto unwritten = unwritten_.find({line, sign});
        return unwritten != unwritten_.end() ? unwritten->second : run_.results()[line][sign];
    }

private:
    using SignAt = std::pair<size_t, size_t>;  // line, sign

    const FleetRun& run_;
    std::string readDir_;
    SaveBatch files_;
    std::map<std::string, SignAt> written_;  // by path, until Finish
    std::map<SignAt, SlaveResult> unwritten_;
};

// Runs the job over every line until it ends or Ctrl+C stops it; the
// results of every sign, in the order of the sheet's lines.
std::vector<SignRow> RunLines(const Args& args, BusJob job, std::vector<FleetLine> lines,
                              const std::string& readDir, bool* interrupted) {
    EventLoop loop;
    LoopOpener opener(loop, args.trace, [](const std::string& text) {
        std::fprintf(stderr, "kvt540m-cli: %s\n", text.c_str());
    });
    FleetRun run(loop, opener);
    FleetSigns signs(run, loop, readDir);
    InterruptGuard guard;
    run.Start(job, std::move(lines), args.verify, args.pacing, static_cast<size_t>(args.jobs),
              &signs);
    *interrupted = !loop.RunUntil([&] { return !run.running(); }, INT64_MAX, &guard.flag());
    if (*interrupted) run.Abort();
    signs.Finish();
    std::vector<SignRow> rows;
    for (size_t i = 0; i < run.lines().size(); ++i)
        for (size_t k = 0; k < run.lines()[i].signs.size(); ++k)
            rows.push_back(
                {run.lines()[i].signs[k].name, run.lines()[i].name, signs.ResultOf(i, k)});
    return rows;
}

}  // namespace

int RunFleet(const Args& args) {
    if (args.positional.empty()) return UsageError("fleet needs deploy, verify or read");
    const Job* job = nullptr;
    for (const Job& j : kJobs)
        if (args.positional[0] == j.word) job = &j;
    if (!job)
        return UsageError("fleet: unknown job \"" + Clipped(args.positional[0]) +
                          "\" (deploy, verify or read)");
    const std::string command = std::string("fleet ") + job->word;
    const bool read = job->job == BusJob::ReadAll;
    if (args.positional.size() != (read ? 3u : 2u))
        return UsageError(command + (read ? " needs SHEET.csv DIR" : " needs SHEET.csv"));
    if (args.verify && job->job != BusJob::Deploy)
        return UsageError("--verify goes with fleet deploy");

    std::vector<FleetLine> lines;
    if (!ReadSheet(args.positional[1], job->job, &lines)) return kExitFailed;
    const std::string readDir = read ? args.positional[2] : "";
    if ((read && !MakeFolder(readDir)) || (!args.trace.empty() && !MakeFolder(args.trace)))
        return kExitFailed;

    bool interrupted = false;
    const std::vector<SignRow> rows =
        RunLines(args, job->job, std::move(lines), readDir, &interrupted);
    return FinishResults(ResultsOf::Fleet, args.report, command, rows, interrupted);
}

}  // namespace kvt::cli
