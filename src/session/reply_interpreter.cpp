// What the sign's reply lines do to a session.
#include "protocol/read_back_decoders.h"
#include "session/session.h"

namespace kvt {

namespace {

// The reply text: the line up to its first NUL, without the slave number the
// sign puts in front in RS-485 mode. CR LF stays on it.
std::string ReplyText(const std::string& line, int lineMode) {
    std::string text = line.substr(0, line.find('\0'));
    if (lineMode != 0) return text.size() < 2 ? std::string() : text.substr(2);
    return text;
}

}  // namespace

void Session::InterpretReply(const std::string& line) {
    replyWaitTicks = 0;
    replyPending = 0;
    const std::string text = ReplyText(line, lineMode);
    if (text == "GO\r\n") {
        if (transferStep == 0) Report(Outcome::Of(OutcomeKind::Success));
    } else if (!DecodeReadBackReply(text, &panelSettings, &currentPage)) {
        // Set before the box, so that a run's next tick stops even while
        // the box is still open; an unrecognised line clears it again.
        errorReply = 1;
        SignError error;
        if (!ErrorReplyOf(text, &error)) {
            errorReply = 0;
            Tell(&SessionListener::ReplyNotUnderstood);
        } else {
            Report(Outcome::ErrorReply(error));
            Tell(&SessionListener::ErrorReplied, error);
        }
    }
    Tell(&SessionListener::ReplyInterpreted);
}

void Session::ReplyTimeoutTick() {
    if (replyPending == 0) return;
    const int waited = replyWaitTicks.fetch_add(1);
    if (waited > 5) {
        replyPending = 0;
        replyWaitTicks = 0;
        Report(Outcome::Of(OutcomeKind::NoConnect));
        Tell(&SessionListener::NoConnect);
    }
}

}  // namespace kvt
