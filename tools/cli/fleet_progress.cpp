#include "tools/cli/fleet_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "settings/settings_file.h"
#include "tools/cli/line_opener.h"

namespace kvt::cli {

namespace {

constexpr Millis kRedrawMs = 100;  // at most ten redraws a second

// The terminal's size; 24 x 80 when it does not say.
void TerminalSize(int* rows, int* columns) {
    winsize size{};
    const bool known = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0;
    *rows = known ? size.ws_row : 24;
    *columns = known && size.ws_col > 0 ? size.ws_col : 80;
}

// The text cut to fit the columns, so that no row wraps (a wrapped row
// would throw the redraw off): characters of East Asian scripts take two
// columns, the rest one.
std::string FitColumns(const std::string& text, int columns) {
    int used = 0;
    size_t end = 0;
    while (end < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[end]);
        const size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const int width = c >= 0xE1 ? 2 : 1;  // U+1000 and above, roughly the wide scripts
        if (used + width > columns) break;
        used += width;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace

FleetProgress::FleetProgress(const FleetRun& run, Clock& clock, std::string readDir, bool terminal)
    : run_(run),
      clock_(clock),
      readDir_(std::move(readDir)),
      terminal_(terminal),
      redraw_(clock.NewTimer([this] {
          redrawDue_ = false;
          Redraw();
      })) {}

FleetProgress::~FleetProgress() = default;

void FleetProgress::FleetStarted() { rows_.assign(run_.lines().size(), Row{}); }

void FleetProgress::LineOpening(size_t line) {
    rows_[line].state = "opening";
    Changed();
}

void FleetProgress::LineMessage(size_t line, const std::string& text) {
    const std::string message = "kvt540m-cli: " + run_.lines()[line].name + ": " + text + "\n";
    if (terminal_ && drawnRows_ > 0) {
        // Above the rows, which are drawn again below it.
        std::fprintf(stderr, "\x1b[%dA\r\x1b[J", drawnRows_);
        drawnRows_ = 0;
    }
    std::fputs(message.c_str(), stderr);
    Changed();
}

void FleetProgress::SignRunStarted(size_t line, size_t sign, RunKind kind) {
    rows_[line].state = run_.lines()[line].signs[sign].name +
                        (kind == RunKind::ReadBack && readDir_.empty() ? " verifying" : "");
    Changed();
}

void FleetProgress::StepDone(size_t line, size_t sign, int step) {
    const std::string& name = run_.lines()[line].signs[sign].name;
    const std::string& state = rows_[line].state;
    const bool verifying = state.size() > name.size();
    if (!terminal_) {
        std::fprintf(stderr, "%s%s step %d\n", name.c_str(), verifying ? " verify" : "", step);
        return;
    }
    rows_[line].state = name + (verifying ? " verifying" : "") + " step " + std::to_string(step) +
                        "/" + std::to_string(kAllItemsLastStep);
    Changed();
}

void FleetProgress::SignDone(size_t line, size_t sign, const SlaveResult& result,
                             const Session& session) {
    bool ok = result.ok();
    if (!readDir_.empty() && ok) {
        const std::string path =
            readDir_ + "/" + FileNameOf(run_.lines()[line].signs[sign].name) + ".dat";
        std::string message;
        if (WriteSettingsFile(path, session.panelSettings, session.currentPage, &message) !=
            SaveResult::Ok) {
            fileErrors_[{line, sign}] = message;
            ok = false;
        }
    }
    ++rows_[line].done;
    if (!ok) ++rows_[line].failed;
    Changed();
}

void FleetProgress::LineDone(size_t line) {
    rows_[line].state = "done";
    Changed();
}

SlaveResult FleetProgress::ResultOf(size_t line, size_t sign) const {
    SlaveResult result = run_.results()[line][sign];
    auto fileError = fileErrors_.find({line, sign});
    if (fileError != fileErrors_.end()) {
        result.problem = SignProblem::FileNotWritten;
        result.detail = fileError->second;
    }
    return result;
}

void FleetProgress::Changed() {
    if (!terminal_) return;
    const Millis now = clock_.Now();
    if (now - lastDrawn_ >= kRedrawMs) {
        Redraw();
    } else if (!redrawDue_) {
        redrawDue_ = true;
        redraw_->StartAt(lastDrawn_ + kRedrawMs);
    }
}

std::string FleetProgress::RowText(size_t line) const {
    const Row& row = rows_[line];
    std::string text = run_.lines()[line].name + ": " + row.state + " (" + std::to_string(row.done) +
                       "/" + std::to_string(run_.lines()[line].signs.size()) + " done";
    if (row.failed > 0) text += ", " + std::to_string(row.failed) + " failed";
    return text + ")";
}

void FleetProgress::Redraw() {
    if (!terminal_) return;
    lastDrawn_ = clock_.Now();
    int rows, columns;
    TerminalSize(&rows, &columns);
    // The lines at work first when not all of them fit, then a count of the rest.
    const size_t room = static_cast<size_t>(rows > 3 ? rows - 2 : 1);
    std::vector<std::string> texts;
    size_t waiting = 0, atWork = 0, done = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const std::string& state = rows_[i].state;
        const bool working = state != "waiting" && state != "done";
        if (rows_.size() <= room || (working && texts.size() + 1 < room))
            texts.push_back(RowText(i));
        else
            ++(state == "waiting" ? waiting : state == "done" ? done : atWork);
    }
    if (waiting + atWork + done > 0)
        texts.push_back("... and " + std::to_string(waiting + atWork + done) + " more lines (" +
                        std::to_string(atWork) + " at work, " + std::to_string(waiting) +
                        " waiting, " + std::to_string(done) + " done)");
    std::string out = drawnRows_ > 0 ? "\x1b[" + std::to_string(drawnRows_) + "A\r\x1b[J" : "";
    for (const std::string& text : texts) out += FitColumns(text, columns - 1) + "\n";
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
    drawnRows_ = static_cast<int>(texts.size());
}

void FleetProgress::Finish() {
    redraw_->Stop();
    Redraw();
}

}  // namespace kvt::cli
