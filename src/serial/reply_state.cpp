#include "serial/reply_state.h"

namespace kvt {

std::atomic<int> replyPending{0};
std::atomic<int> replyWaitTicks{0};
std::atomic<int> errorReply{0};
std::atomic<int> transferStep{0};
std::atomic<void*> messageOwner{nullptr};

void ResetReplyState() {
    replyPending = 0;
    replyWaitTicks = 0;
    errorReply = 0;
    transferStep = 0;
    messageOwner = nullptr;
}

}  // namespace kvt
