#include "tools/cli/sign_results.h"

#include <algorithm>
#include <cstdio>

#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/interrupt.h"
#include "tools/cli/outcome_table.h"
#include "tools/options/exit_codes.h"

namespace kvt::cli {

namespace {

constexpr size_t kDifferencesListed = 20;  // a sign's, after a fleet's table

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

void PrintBusTable(const std::vector<SignRow>& rows) {
    std::printf("slave  result                              seconds\n");
    for (const SignRow& row : rows)
        std::printf("   %02d  %-34s %7.1f\n", row.result.slave, ResultText(row.result).c_str(),
                    row.result.ms / 1000.0);
}

void PrintFleetTable(const std::vector<SignRow>& rows) {
    size_t signWidth = 4, lineWidth = 4;
    for (const SignRow& row : rows) {
        signWidth = std::max(signWidth, Characters(Clipped(row.name)));
        lineWidth = std::max(lineWidth, Characters(Clipped(row.line)));
    }
    std::printf("%s  %s  %-34s %7s\n", Padded("sign", signWidth).c_str(),
                Padded("line", lineWidth).c_str(), "result", "seconds");
    for (const SignRow& row : rows)
        std::printf("%s  %s  %-34s %7.1f\n", Padded(Clipped(row.name), signWidth).c_str(),
                    Padded(Clipped(row.line), lineWidth).c_str(),
                    Clipped(ResultText(row.result)).c_str(), SecondsToATenth(row.result.ms));
}

// Each differing sign's differences under its name, the first few of them:
// the report has them all.
void PrintFleetDifferences(const std::vector<SignRow>& rows) {
    for (const SignRow& row : rows) {
        if (row.result.differences.empty()) continue;
        std::printf("\n%s:\n", Clipped(row.name).c_str());
        PrintDifferences(row.result.differences, "  ", kDifferencesListed);
    }
}

std::vector<SlaveResult> ResultsIn(const std::vector<SignRow>& rows) {
    std::vector<SlaveResult> results;
    for (const SignRow& row : rows) results.push_back(row.result);
    return results;
}

}  // namespace

void PrintDifferences(const std::vector<std::string>& differences, const char* indent,
                      size_t limit) {
    for (size_t i = 0; i < differences.size() && i < limit; ++i)
        std::printf("%s%s\n", indent, differences[i].c_str());
    if (differences.size() > limit)
        std::printf("%s... and %zu more\n", indent, differences.size() - limit);
}

void PrintResults(ResultsOf of, const std::vector<SignRow>& rows) {
    if (of == ResultsOf::Bus) {
        PrintBusTable(rows);
        return;
    }
    PrintFleetTable(rows);
    PrintFleetDifferences(rows);
}

void WriteSignFile(const std::string& path, const Session& session, SlaveResult* result,
                   SaveBatch* batch) {
    std::string message;
    if (WriteSettingsFile(path, session.panelSettings, session.currentPage, &message, batch) ==
        SaveResult::Ok)
        return;
    result->problem = SignProblem::FileNotWritten;
    result->detail = message;
}

int FinishResults(ResultsOf of, const std::string& report, const std::string& command,
                  const std::vector<SignRow>& rows, bool interrupted) {
    PrintResults(of, rows);
    if (!report.empty()) {
        std::string error;
        if (!WriteResultsReport(of, report, command, rows, &error)) {
            std::fprintf(stderr, "kvt540m-cli: %s\n", error.c_str());
            return kExitFailed;
        }
    }
    if (interrupted) return InterruptedExit();
    return ResultsStatus(ResultsIn(rows), of == ResultsOf::Fleet);
}

}  // namespace kvt::cli
