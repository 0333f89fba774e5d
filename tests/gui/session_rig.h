// One sign's world for a window test: a session whose boxes are recorded and
// whose command lines go to a stand-in sign answering on a virtual clock,
// with its line (the run engine and the reply time-out beat) on that clock.
#pragma once

#include "session/session.h"
#include "support/recording_seam.h"
#include "support/sign_on_clock.h"
#include "transfer/sign_line.h"
#include "transfer/virtual_clock.h"

namespace kvt::test {

struct SessionRig {
    VirtualClock clock;
    RecordingSeam boxes;
    Session session{&boxes};
    SignLine line{session, clock};
    RunEngine& engine = line.engine();
    ReplyTimer& replyTimer = line.replyTimer();
    SignOnClock sign{session, clock};

    // Keeps every box "open" for ms of virtual time (ticks meanwhile come
    // and are lost).
    void HoldBoxes(Millis ms) {
        boxes.whileOpen = [this, ms](const BoxRequest&) { clock.Advance(ms); };
    }
};

}  // namespace kvt::test
