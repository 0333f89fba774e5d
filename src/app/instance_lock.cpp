#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kvt {

namespace {

std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    std::string folder = "/tmp/kvt540m-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);  // already there is fine
    return folder;
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

std::string InstanceLock::LockPath() { return LockFolder() + "/KVT540M_Instance.lock"; }

bool InstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    int fd = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;  // no lock file possible: run unguarded
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        bool busy = errno == EWOULDBLOCK;
        close(fd);
        return !busy;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    close(fd_);  // closing the last descriptor drops the flock
    fd_ = -1;
}

}  // namespace kvt
