// Reply bookkeeping shared by the senders, the reply interpreter and the
// multi-step runs. The serial link's reader thread touches some of these, so
// they are atomics.
#pragma once

#include <atomic>

namespace kvt {

extern std::atomic<int> replyPending;    // a command was written, no reply yet
extern std::atomic<int> replyWaitTicks;  // time-out ticks counted while pending
extern std::atomic<int> errorReply;      // the sign answered with an error
extern std::atomic<int> transferStep;    // step of the multi-step run; 0 = none
extern std::atomic<void*> messageOwner;  // owner window of the message boxes

// Puts all five back to 0 (program start; tests).
void ResetReplyState();

}  // namespace kvt
