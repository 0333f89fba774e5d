// What happened on a sign's line, as a value. The core reports outcomes; the
// window program shows each as a box (OutcomeBox, message_box.h) and the
// command-line tool prints it from its own table. A new kind of outcome is
// one value here and one row in each of those two tables.
#pragma once

#include <string>

#include "protocol/command_set.h"
#include "protocol/read_back_decoders.h"

namespace kvt {

enum class OutcomeKind {
    Success,  // "GO" while no run is going on
    SignError,  // the sign answered with an error (signError says which)
    NoConnect,  // a command stayed unanswered for the reply time-out
    LinkMessage,  // the link on its port: why it did not open, a warning it opened with
    Rejected,  // a command was not sent (rejection says why)
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Success;
    SignError signError = SignError::CommandError;  // SignError
    Rejection rejection = Rejection::None;  // Rejected
    std::string message;  // LinkMessage: the link's own words; Rejected: the command's message

    static Outcome Of(OutcomeKind kind) {
        return Outcome{kind, SignError::CommandError, Rejection::None, ""};
    }
    static Outcome ErrorReply(SignError error) {
        return Outcome{OutcomeKind::SignError, error, Rejection::None, ""};
    }
    static Outcome Link(const std::string& message) {
        return Outcome{OutcomeKind::LinkMessage, SignError::CommandError, Rejection::None, message};
    }
    static Outcome Refused(Rejection why, const std::string& message) {
        return Outcome{OutcomeKind::Rejected, SignError::CommandError, why, message};
    }
};

}  // namespace kvt
