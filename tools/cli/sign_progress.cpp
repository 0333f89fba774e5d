#include "tools/cli/sign_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

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

SignProgress::SignProgress(const std::vector<FleetLine>& lines, Clock& clock, Look look,
                           bool reading)
    : lines_(lines), clock_(clock), look_(look), reading_(reading), redraw_(clock.NewTimer([this] {
          redrawDue_ = false;
          Redraw();
      })) {}

SignProgress::~SignProgress() { EndBar(); }

void SignProgress::FleetStarted() { rows_.assign(lines_.size(), Row{}); }

void SignProgress::LineOpening(size_t line) {
    rows_[line].state = State::Opening;
    Changed();
}

void SignProgress::LineMessage(size_t line, const std::string& text) {
    const std::string message = "kvt540m-cli: " + lines_[line].name + ": " + text + "\n";
    if (look_ == Look::Rows && drawnRows_ > 0) {
        // Above the rows, which are drawn again below it.
        std::fprintf(stderr, "\x1b[%dA\r\x1b[J", drawnRows_);
        drawnRows_ = 0;
    }
    WritePendingLines();
    std::fputs(message.c_str(), stderr);
    Changed();
}

void SignProgress::WritePendingLines() {
    std::fputs(pendingLines_.c_str(), stderr);
    pendingLines_.clear();
}

void SignProgress::SignRunStarted(size_t line, size_t sign, RunKind kind) {
    EndBar();
    Row& row = rows_[line];
    row.state = State::AtWork;
    row.sign = sign;
    row.verifying = kind == RunKind::ReadBack && !reading_;
    row.step = 0;
    row.lastStep = LastStep(kind);
    Changed();
}

const std::string& SignProgress::SignLabel(const Row& row, size_t line) const {
    return lines_[line].signs[row.sign].name;
}

void SignProgress::StepDone(size_t line, size_t, int step) {
    Row& row = rows_[line];
    row.step = step;
    const std::string& name = SignLabel(row, line);
    switch (look_) {
    case Look::Lines:
        // Written together at most ten times a second: a fleet of many
        // lines makes thousands of steps a second.
        pendingLines_ += name + (row.verifying ? " verify" : "") + " step " + std::to_string(step) + "\n";
        Changed();
        return;
    case Look::Bar:
        barShown_ = true;
        std::fprintf(stderr, "\r%s%s: step %d/%d", name.c_str(), row.verifying ? " verify" : "",
                     step, row.lastStep);
        std::fflush(stderr);
        return;
    case Look::Rows:
        Changed();
        return;
    }
}

void SignProgress::SignDone(size_t line, size_t, const SlaveResult& result, const Session&) {
    EndBar();
    ++rows_[line].done;
    if (!result.ok()) ++rows_[line].failed;
    Changed();
}

void SignProgress::LineDone(size_t line) {
    rows_[line].state = State::Done;
    Changed();
}

void SignProgress::EndBar() {
    if (barShown_) std::fputc('\n', stderr);
    barShown_ = false;
}

void SignProgress::Changed() {
    if (look_ == Look::Bar) return;
    const Millis now = clock_.Now();
    if (now - lastDrawn_ >= kRedrawMs) {
        Redraw();
    } else if (!redrawDue_) {
        redrawDue_ = true;
        redraw_->StartAt(lastDrawn_ + kRedrawMs);
    }
}

std::string SignProgress::RowText(size_t line) const {
    const Row& row = rows_[line];
    std::string state;
    switch (row.state) {
    case State::Waiting:
        state = "waiting";
        break;
    case State::Opening:
        state = "opening";
        break;
    case State::Done:
        state = "done";
        break;
    case State::AtWork:
        state = SignLabel(row, line) + (row.verifying ? " verifying" : "");
        if (row.step > 0)
            state += " step " + std::to_string(row.step) + "/" + std::to_string(row.lastStep);
        break;
    }
    std::string text = lines_[line].name + ": " + state + " (" + std::to_string(row.done) + "/" +
                       std::to_string(lines_[line].signs.size()) + " done";
    if (row.failed > 0) text += ", " + std::to_string(row.failed) + " failed";
    return text + ")";
}

void SignProgress::Redraw() {
    lastDrawn_ = clock_.Now();
    if (look_ == Look::Lines) WritePendingLines();
    if (look_ != Look::Rows) return;
    int rows, columns;
    TerminalSize(&rows, &columns);
    // The lines at work first when not all of them fit, then a count of the rest.
    const size_t room = static_cast<size_t>(rows > 3 ? rows - 2 : 1);
    std::vector<std::string> texts;
    size_t waiting = 0, atWork = 0, done = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const State state = rows_[i].state;
        const bool working = state != State::Waiting && state != State::Done;
        if (rows_.size() <= room || (working && texts.size() + 1 < room))
            texts.push_back(RowText(i));
        else
            ++(state == State::Waiting ? waiting : state == State::Done ? done : atWork);
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

void SignProgress::Finish() {
    redraw_->Stop();
    Redraw();
}

}  // namespace kvt::cli
