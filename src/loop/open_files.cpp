#include "loop/open_files.h"

#include <dirent.h>
#include <sys/resource.h>

namespace kvt {

namespace {

// The descriptors this process has open (the listing's own one included).
long OpenDescriptors() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return 0;
    long count = 0;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.') ++count;
    ::closedir(dir);
    return count;
}

}  // namespace

void RaiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

bool RoomForOpenFiles(long more, const std::string& what, std::string* error) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
    const long needed = OpenDescriptors() + more;
    if (needed <= static_cast<long>(limit.rlim_cur)) return true;
    *error = what + " needs " + std::to_string(needed) + " open files, more than the limit of " +
             std::to_string(limit.rlim_cur) + " (ulimit -n; its hard limit is " +
             (limit.rlim_max == RLIM_INFINITY ? std::string("unlimited")
                                              : std::to_string(limit.rlim_max)) +
             ")";
    return false;
}

}  // namespace kvt
