#include "transfer/sign_line.h"

namespace kvt {

namespace {

// Registers the line with the session before its engine and reply timer do.
Session& Listened(Session& session, SessionListener* listener) {
    session.AddListener(listener);
    return session;
}

}  // namespace

SignLine::SignLine(Session& session, Clock& clock)
    : session_(Listened(session, this)),
      clock_(clock),
      engine_(session, clock),
      replyTimer_(session, clock) {}

SignLine::~SignLine() { session_.RemoveListener(this); }

void SignLine::CommandSent() {
    ++tally_.sent;
    tally_.lastActivity = clock_.Now();
}

void SignLine::ReplyInterpreted() {
    ++tally_.answered;
    tally_.lastActivity = clock_.Now();
}

void SignLine::ErrorReplied(SignError error) {
    if (tally_.errorReplied) return;
    tally_.errorReplied = true;
    tally_.firstError = error;
}

}  // namespace kvt
