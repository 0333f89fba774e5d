// One copy of the program at a time: an advisory lock (flock) on a file in
// the user's runtime folder. The kernel drops the lock when its holder ends,
// so a copy that crashed never locks the program out.
#pragma once

#include <string>

namespace kvt {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();  // Release
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object now holds the lock; false when another holder
    // (another copy) has it. A lock file that cannot be created at all does
    // not stop the program: that also returns true, holding nothing.
    bool Acquire();
    void Release();
    bool held() const { return fd_ >= 0; }

    // $XDG_RUNTIME_DIR/KVT540M_Instance.lock, or /tmp/kvt540m-$UID/... when
    // the runtime folder is not set.
    static std::string LockPath();

private:
    int fd_ = -1;
};

}  // namespace kvt
