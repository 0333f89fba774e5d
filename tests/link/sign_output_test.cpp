// What the tool shows of a run over signs: its progress on standard error
// ("verifying" only in a verify pass, never while a deploy sends), and
// after a fleet's table the differences of each sign that has any.
#include <gtest/gtest.h>

#include "tools/cli/sign_progress.h"
#include "tools/cli/sign_results.h"
#include "transfer/virtual_clock.h"

namespace kvt {
namespace {

using cli::SignProgress;

TEST(SignProgress, SaysVerifyingOnlyWhileVerifying) {
    struct Case {
        const char* job;
        bool reading;
        std::vector<RunKind> runs;  // the sign's runs, five steps of each done
        std::string row, line;  // the last row drawn; the last line in Lines
    };
    const Case cases[] = {
        {"deploy", false, {RunKind::AllItems}, "hall step 5/103", "hall step 5"},
        {"deploy --verify",
         false,
         {RunKind::AllItems, RunKind::ReadBack},
         "hall verifying step 5/103",
         "hall verify step 5"},
        {"verify", false, {RunKind::ReadBack}, "hall verifying step 5/103", "hall verify step 5"},
        {"read", true, {RunKind::ReadBack}, "hall step 5/103", "hall step 5"},
    };
    FleetSign hall;
    hall.name = "hall";
    const std::vector<FleetLine> lines = {{"COM1", "/dev/ttyS0", {hall}}};
    for (const Case& c : cases)
        for (SignProgress::Look look : {SignProgress::Look::Rows, SignProgress::Look::Lines}) {
            VirtualClock clock;
            testing::internal::CaptureStderr();
            {
                SignProgress progress(lines, clock, look, c.reading);
                progress.FleetStarted();
                for (RunKind kind : c.runs) {
                    progress.SignRunStarted(0, 0, kind);
                    for (int step = 1; step <= 5; ++step) progress.StepDone(0, 0, step);
                }
                progress.Finish();
            }
            const std::string shown = testing::internal::GetCapturedStderr();
            const bool rows = look == SignProgress::Look::Rows;
            const std::string last = rows ? shown.substr(shown.rfind("\x1b[J") + 3)
                                          : shown.substr(shown.rfind('\n', shown.size() - 2) + 1);
            EXPECT_EQ(last, rows ? "COM1: " + c.row + " (0/1 done)\n" : c.line + "\n")
                << c.job << (rows ? " (rows)" : " (lines)");
        }
}

// Beyond 20 a sign, a count of the rest; signs that agree have no block.
TEST(SignResults, AFleetsTableIsFollowedByEachSignsDifferences) {
    auto row = [](const std::string& name, int differences) {
        SignRow row{name, "COM1", {}};
        for (int i = 1; i <= differences; ++i)
            row.result.differences.push_back("d" + std::to_string(i));
        return row;
    };
    auto block = [](const std::string& name, int listed) {
        std::string text = "\n" + name + ":\n";
        for (int i = 1; i <= listed; ++i) text += "  d" + std::to_string(i) + "\n";
        return text;
    };
    testing::internal::CaptureStdout();
    cli::PrintResults(ResultsOf::Fleet, {row("hall", 21), row("gate", 0), row("door", 20)});
    const std::string shown = testing::internal::GetCapturedStdout();
    EXPECT_EQ(shown.substr(shown.find("\n\n") + 1),
              block("hall", 20) + "  ... and 1 more\n" + block("door", 20));
}

}  // namespace
}  // namespace kvt
