// The application object: the one-copy rule, the store's start state, the
// serial link with its reply pump, and the main frame.
#pragma once

#include <memory>

#include "app/instance_lock.h"

namespace kvt {

class CMainFrame;
class ReplyPump;
class SerialLink;

class CKVT540MApp {
public:
    CKVT540MApp();
    ~CKVT540MApp();  // ExitInstance
    CKVT540MApp(const CKVT540MApp&) = delete;
    CKVT540MApp& operator=(const CKVT540MApp&) = delete;

    // False when another copy runs ("既に起動しています。" was shown); the
    // program then ends without a window. Otherwise the store is reset, the
    // link opened from the profile (failures are reported, the window opens
    // anyway) and the main frame shown.
    bool InitInstance();
    // Closes the link and releases the lock; also done by the destructor.
    void ExitInstance();

    CMainFrame* frame() const { return frame_.get(); }
    SerialLink* link() const { return link_.get(); }

private:
    InstanceLock lock_;
    std::unique_ptr<ReplyPump> pump_;
    std::unique_ptr<SerialLink> link_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace kvt
