// new, show and check: a settings file written afresh, and its content for
// people and scripts.
#include <cstdio>

#include "exchange/value_checks.h"
#include "protocol/send_items.h"
#include "protocol/slave_list.h"
#include "settings/cp932.h"
#include "settings/panel_settings.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

// The name of a list value, or "?(value)" for one only a hand-edited file holds.
std::string NameOf(const char* const* names, int count, int value) {
    if (value >= 0 && value < count) return names[value];
    return "?(" + std::to_string(value) + ")";
}

// A line text in UTF-8 between quotes; control bytes are shown as \xNN so
// that a hand-edited file cannot drive the terminal.
std::string Printable(const std::string& cp932) { return Quoted(Cp932ToUtf8(cp932)); }

std::string FillLines(int mask) {
    std::string lines;
    for (int k = 0; k < kLineCount; ++k)
        if (mask & (1 << k)) lines += (lines.empty() ? "" : ",") + std::to_string(k + 1);
    if (lines.empty()) lines = "none";
    if (mask & ~0x7F) lines += " (mask " + std::to_string(mask) + ")";
    return lines;
}

std::string TwoDigitPage(int index) { return TwoDigits(index + 1); }

void ShowPage(const PanelSettings& s, int p) {
    std::printf("Page %s: white level %s, display time %d s, fill bordering %s\n",
                TwoDigitPage(p).c_str(), NameOf(kWhiteLevelNames, kWhiteLevelRange.count(), s.whiteLevel[p]).c_str(),
                s.displayTime[p], FillLines(s.fillMask[p]).c_str());
    for (int k = 0; k < kLineCount; ++k)
        std::printf("  line %d: char %s, edge %s, blink %s, text %s\n", k + 1,
                    NameOf(kColourNames, kColourRange.count(), s.charColor[p][k]).c_str(),
                    NameOf(kColourNames, kColourRange.count(), s.edgeColor[p][k]).c_str(),
                    NameOf(kBlinkNames, kBlinkRange.count(), s.blinkMode[p][k]).c_str(),
                    Printable(s.lineText[p][k]).c_str());
}

// The one FILE.dat the command takes, into the session's store; false with
// *status set (a usage error, a file that did not read) otherwise.
bool LoadOneFile(const Args& args, const char* command, Session& session, int* status) {
    if (args.positional.size() != 1) {
        *status = UsageError(std::string(command) +
                             (args.positional.empty() ? " needs FILE.dat" : ": too many arguments"));
        return false;
    }
    *status = kExitFailed;
    return LoadStore(session, args.positional[0]);
}

}  // namespace

int RunNew(const Args& args) {
    std::string error;
    if (!OnePath(args, &error)) return UsageError(error);
    Session session;
    return SaveStore(session, args.positional[0]);
}

int RunShow(const Args& args) {
    Session session;
    int status;
    if (!LoadOneFile(args, "show", session, &status)) return status;
    const PanelSettings& s = session.panelSettings;
    for (int p = 0; p < kPageCount; ++p) ShowPage(s, p);
    if (s.sequenceMode != 0)
        std::printf("Page select: Sequence\n");
    else
        std::printf("Page select: %s\n", TwoDigitPage(session.currentPage).c_str());
    std::printf("H position: %d\nV position: %d\n", s.hPosition, s.vPosition);
    return kExitOk;
}

// Lists every command the file's values would not let through, with the
// message the program would show.
int RunCheck(const Args& args) {
    Session session;
    int status;
    if (!LoadOneFile(args, "check", session, &status)) return status;
    const std::vector<Refusal> refused = RefusedCommands(session.panelSettings, session.currentPage);
    for (const Refusal& r : refused) std::printf("%s: %s\n", r.what.c_str(), r.message.c_str());
    return refused.empty() ? kExitOk : kExitFailed;
}

}  // namespace kvt::cli
