// The main frame on a session rig, for the window tests that drive it: made
// afresh and shown in each test's init (OpenFrame), shut down in its
// cleanup (CloseFrame).
#pragma once

#include <QTest>

#include "app/main_frame.h"
#include "session_rig.h"

namespace kvt::test {

class FrameRig {
protected:
    // False when the frame did not come up on the screen.
    bool OpenFrame() {
        rig_ = std::make_unique<SessionRig>();
        frame_ = new CMainFrame(rig_->line);
        frame_->show();
        return QTest::qWaitForWindowExposed(frame_);
    }
    void CloseFrame() {
        frame_->ShutDown();
        delete frame_;
        frame_ = nullptr;
    }
    Session& session() { return rig_->session; }

    std::unique_ptr<SessionRig> rig_;
    CMainFrame* frame_ = nullptr;
};

}  // namespace kvt::test
