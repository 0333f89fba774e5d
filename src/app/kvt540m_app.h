// The application object: the one-copy rule and the one sign's world the
// windows work on: the session with its link and Qt boxes, the clock, the
// sign's line (run engine, beat of the reply time-out), the reply pump; and
// the main frame.
#pragma once

#include <memory>

#include <QString>

#include "app/instance_lock.h"
#include "app/qt_message_seam.h"
#include "app/reply_pump.h"
#include "serial/trace.h"
#include "session/session.h"
#include "transfer/sign_line.h"

namespace kvt {

class CMainFrame;
class QtClock;

class CKVT540MApp {
public:
    // clock: where the runs and the reply time-out take their time; nullptr
    // for the Qt timers (tests pass a virtual clock).
    explicit CKVT540MApp(Clock* clock = nullptr);
    ~CKVT540MApp();  // ExitInstance
    CKVT540MApp(const CKVT540MApp&) = delete;
    CKVT540MApp& operator=(const CKVT540MApp&) = delete;

    // False when another copy runs ("既に起動しています。" was shown); the
    // program then ends without a window. Otherwise the store is reset, the
    // link opened from the profile (failures are reported, the window opens
    // anyway), the main frame shown and then file, when given, opened as
    // "開く" opens it; then the fleet window on sheet, when given.
    bool InitInstance(const QString& file = QString(), const QString& sheet = QString());
    // Closes the link and releases the lock; also done by the destructor.
    void ExitInstance();


    Session& session() { return session_; }
    RunEngine& engine() { return line_.engine(); }
    CMainFrame* frame() const { return frame_.get(); }

private:
    // The traffic trace named by the profile's trace_file (empty: none).
    void StartTrace();

    InstanceLock lock_;
    QtMessageSeam seam_;
    std::unique_ptr<QtClock> qtClock_;  // when no clock was given
    Clock& clock_;
    Session session_;
    ReplyPump pump_;
    SignLine line_;
    std::unique_ptr<Trace> trace_;  // the profile's trace_file, when set
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace kvt
