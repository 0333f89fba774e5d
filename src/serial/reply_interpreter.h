// What the sign's reply lines do: the success and error boxes, the reply
// bookkeeping, and the hand-over of read-back replies to their decoders.
#pragma once

#include <string>

namespace kvt {

// One complete reply line as the link framed it, CR LF included (and the
// two-digit slave prefix in RS-485 mode). Clears replyPending and
// replyWaitTicks; "GO" shows Success when no run is going on; read-back
// replies go to their decoders; error replies set errorReply and show their
// box; anything else is dropped. Bytes after a NUL are ignored.
void InterpretReply(const std::string& line);

// One tick (500 ms) of the reply time-out: "No Connect" on the seventh tick
// after a command that got no reply.
void ReplyTimeoutTick();

// The error message of an error reply text ("GN\r\n" -> "Mode Error", ...),
// or "" when the text is none of them.
std::string ErrorReplyMessage(const std::string& replyText);

}  // namespace kvt
