#include "tools/cli/port_session.h"

#include <algorithm>
#include <cstdio>

#include "app/profile.h"
#include "serial/reply_interpreter.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt::cli {

namespace {

constexpr auto kTick = std::chrono::milliseconds(500);
// The first time-out tick comes half a period after the first write, so
// that "No Connect" (the seventh tick) falls 3.25 s after it, inside the
// 3.0 to 3.5 s that the main window's free-running timer gives.
constexpr auto kFirstTick = std::chrono::milliseconds(250);
// Seven ticks: how long AwaitReplies waits for a reply that may still come.
constexpr auto kQuiet = std::chrono::milliseconds(3500);

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "used in a signal handler");

extern "C" void OnInterrupt(int) { interrupted = true; }

}  // namespace

bool Interrupted() { return interrupted; }

BoxResult SessionSeam::Show(const BoxRequest& box) {
    if (opening_) {
        std::fprintf(stderr, "%s\n", box.text.c_str());
    } else if (step_ > 0) {
        ++rejections_;
        std::fprintf(stderr, "step %d: %s\n", step_, box.text.c_str());
    } else {
        replyMessages_.push_back(box.text);
        std::fprintf(stdout, "%s\n", box.text.c_str());
        std::fflush(stdout);
    }
    return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
}

PortSession::PortSession(const PortOptions& options)
    : options_(options), link_([this](const std::string& line) { queue_.Push(line); }) {
    InstallMessageBoxSeam(&seam_);
    InstallCommandPort(this);
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

PortSession::~PortSession() {
    link_.CloseLink();
    InstallCommandPort(nullptr);
    InstallMessageBoxSeam(nullptr);
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

bool PortSession::Open() {
    // --rs485 forces RS-485; otherwise the profile's line type holds.
    if (!options_.rs485) lineMode = ReadProfileInt("rs_control", 0);
    const std::string device = options_.port.empty()
                                   ? PortDevicePath(ReadProfileInt("com_port", 0))
                                   : ResolvePortName(options_.port);
    seam_.SetOpening(true);
    link_.OpenPort(device);
    if (link_.state() == SerialLink::State::Open) link_.StartReadThread();
    seam_.SetOpening(false);
    return link_.state() == SerialLink::State::Open;
}

void PortSession::WritePort(const std::string& bytes) {
    const auto now = Clock::now();
    if (!timerRunning_) {
        timerRunning_ = true;
        nextTick_ = now + kFirstTick;
    }
    ++sent_;
    lastActivity_ = now;
    link_.WritePort(bytes);
}

void PortSession::ClosePort() { link_.ClosePort(); }

void PortSession::PumpOnce(Clock::time_point until) {
    const auto wakeAt = timerRunning_ ? std::min(until, nextTick_) : until;
    std::string line;
    if (queue_.PopUntil(wakeAt, &line)) {
        ++answered_;
        lastActivity_ = Clock::now();
        InterpretReply(line);
        return;
    }
    if (timerRunning_ && Clock::now() >= nextTick_) {
        nextTick_ += kTick;
        ReplyTimeoutTick();
    }
}

bool PortSession::ServeUntil(Clock::time_point until) {
    while (!interrupted && Clock::now() < until) PumpOnce(until);
    return !interrupted;
}

bool PortSession::AwaitReplies() {
    const size_t messagesBefore = seam_.replyMessages().size();
    auto noConnectSince = [&] {
        const auto& messages = seam_.replyMessages();
        return std::find(messages.begin() + messagesBefore, messages.end(), "No Connect") !=
               messages.end();
    };
    while (!interrupted && answered_ < sent_) {
        if (replyPending == 0 && noConnectSince()) break;
        const auto quietEnd = lastActivity_ + kQuiet;
        if (Clock::now() >= quietEnd) break;
        PumpOnce(quietEnd);
    }
    return !interrupted;
}

bool PortSession::AllAnswered() const {
    if (answered_ < sent_ || seam_.rejections() > 0) return false;
    const auto& messages = seam_.replyMessages();
    return std::all_of(messages.begin(), messages.end(),
                       [](const std::string& m) { return m == "Success"; });
}

}  // namespace kvt::cli
