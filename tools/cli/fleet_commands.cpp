// fleet deploy, fleet verify and fleet read: every line of a sheet at once,
// from one process, the signs of each line one after another.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "exchange/fleet_sheet.h"
#include "profile/profile.h"
#include "text/clipped.h"
#include "tools/cli/bus_commands.h"
#include "tools/cli/bus_report.h"
#include "tools/cli/fleet_progress.h"
#include "tools/cli/interrupt.h"
#include "tools/cli/line_opener.h"
#include "tools/cli/outcome_table.h"

namespace kvt::cli {

namespace {

struct Job {
    const char* word;
    BusJob job;
};

const Job kJobs[] = {{"deploy", BusJob::Deploy}, {"verify", BusJob::Verify}, {"read", BusJob::ReadAll}};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A folder for the files of a read or the traces; one there already is fine.
bool MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
    std::fprintf(stderr, "kvt540m-cli: cannot make the folder %s: %s\n", Clipped(path).c_str(),
                 std::strerror(errno));
    return false;
}

// The characters of a UTF-8 text, as the table lines them up.
size_t Characters(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

std::string Padded(const std::string& text, size_t width) {
    const size_t n = Characters(text);
    return n >= width ? text : text + std::string(width - n, ' ');
}

// The table of every sign on standard output.
void PrintTable(const std::vector<FleetSignResult>& results) {
    size_t signWidth = 4, lineWidth = 4;
    for (const FleetSignResult& r : results) {
        signWidth = std::max(signWidth, Characters(Clipped(r.name)));
        lineWidth = std::max(lineWidth, Characters(Clipped(r.line)));
    }
    std::printf("%s  %s  %-34s %7s\n", Padded("sign", signWidth).c_str(),
                Padded("line", lineWidth).c_str(), "result", "seconds");
    for (const FleetSignResult& r : results)
        std::printf("%s  %s  %-34s %7.1f\n", Padded(Clipped(r.name), signWidth).c_str(),
                    Padded(Clipped(r.line), lineWidth).c_str(), Clipped(ResultText(r.result)).c_str(),
                    static_cast<double>((r.result.ms + 50) / 100) / 10);
}

// 0 when every sign succeeded, 3 when verification found differences and
// nothing worse, 1 otherwise.
int StatusOf(const std::vector<FleetSignResult>& results) {
    std::vector<SlaveResult> signs;
    for (const FleetSignResult& r : results) signs.push_back(r.result);
    return ResultsStatus(signs, true);
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

// Runs the job over every line until it ends or Ctrl+C stops it; the
// results of every sign, in the order of the sheet's lines.
std::vector<FleetSignResult> RunLines(const Args& args, BusJob job, std::vector<FleetLine> lines,
                                      const std::string& readDir, bool* interrupted) {
    PollLoop loop;
    ThreadOpener opener(loop, args.trace);
    FleetRun run(loop, opener);
    FleetProgress progress(run, loop, readDir, ::isatty(STDERR_FILENO) == 1);
    InterruptGuard guard;
    run.Start(job, std::move(lines), args.verify, args.pacing, static_cast<size_t>(args.jobs),
              &progress);
    *interrupted = !loop.RunUntil([&] { return !run.running(); }, INT64_MAX, &guard.flag());
    if (*interrupted) run.Abort();
    progress.Finish();
    std::vector<FleetSignResult> results;
    for (size_t i = 0; i < run.lines().size(); ++i)
        for (size_t k = 0; k < run.lines()[i].signs.size(); ++k)
            results.push_back({run.lines()[i].signs[k].name, run.lines()[i].name,
                               progress.ResultOf(i, k)});
    return results;
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
    const std::vector<FleetSignResult> results =
        RunLines(args, job->job, std::move(lines), readDir, &interrupted);
    PrintTable(results);
    if (!args.report.empty()) {
        std::string error;
        if (!WriteFleetReport(args.report, command, results, &error)) {
            std::fprintf(stderr, "kvt540m-cli: %s\n", error.c_str());
            return kExitFailed;
        }
    }
    if (interrupted) return InterruptedExit();
    return StatusOf(results);
}

}  // namespace kvt::cli
