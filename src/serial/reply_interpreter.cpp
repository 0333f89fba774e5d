#include "serial/reply_interpreter.h"

#include "serial/message_box.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "transfer/read_back_decoders.h"

namespace kvt {

namespace {

bool StartsWith(const std::string& text, const char* head) { return text.rfind(head, 0) == 0; }

// The reply text: the line up to its first NUL, without the slave number the
// sign puts in front in RS-485 mode. CR LF stays on it.
std::string ReplyText(const std::string& line) {
    std::string text = line.substr(0, line.find('\0'));
    if (lineMode != 0) return text.size() < 2 ? std::string() : text.substr(2);
    return text;
}

// The read-back replies; true when the text was one of them (or a "P" line
// that fits none of them, which is dropped).
bool HandleReadBackReply(const std::string& text) {
    if (StartsWith(text, "CA")) DecodeTextReply(text);
    else if (StartsWith(text, "PTCT")) DecodeDisplayTimeReply(text);
    else if (StartsWith(text, "PTFB")) DecodeFillBorderReply(text);
    else if (StartsWith(text, "PTWL")) DecodeWhiteLevelReply(text);
    else if (StartsWith(text, "PH")) DecodeHPositionReply(text);
    else if (StartsWith(text, "PV")) DecodeVPositionReply(text);
    else if (!StartsWith(text, "P")) return false;
    else if (text.size() > 4 && text[4] == '\r') DecodePageReply(text);
    else if (text.size() > 3 && text[3] == 'B') DecodeBlinkReply(text);
    else if (text.size() > 3 && text[3] == 'C') DecodeColourReply(text);
    return true;
}

}  // namespace

std::string ErrorReplyMessage(const std::string& replyText) {
    static const struct {
        const char* reply;
        const char* message;
    } kErrors[] = {
        {"GN\r\n", "Mode Error"},     {"MENU\r\n", "Menu Display"},
        {"E0\r\n", "Framing Error"},  {"E1\r\n", "Parity Error"},
        {"E2\r\n", "Over Run Error"}, {"E3\r\n", "Command Error"},
    };
    for (const auto& e : kErrors) {
        if (replyText == e.reply) return e.message;
    }
    return "";
}

void InterpretReply(const std::string& line) {
    replyWaitTicks = 0;
    replyPending = 0;
    const std::string text = ReplyText(line);
    if (text == "GO\r\n") {
        if (transferStep == 0) SuccessBox();
        return;
    }
    if (HandleReadBackReply(text)) return;
    // Set before the box, so that a run's next tick stops even while the
    // box is still open.
    errorReply = 1;
    const std::string message = ErrorReplyMessage(text);
    if (message.empty()) {
        errorReply = 0;
        return;
    }
    ErrorBox(message);
}

void ReplyTimeoutTick() {
    if (replyPending == 0) return;
    const int waited = replyWaitTicks.fetch_add(1);
    if (waited > 5) {
        replyPending = 0;
        replyWaitTicks = 0;
        ErrorBox("No Connect");
    }
}

}  // namespace kvt
