#include "settings/bounded_read.h"

#include <utility>

namespace kvt {

const char* const kMaxInputText = "1 MiB (1048576 bytes)";

BoundedRead ReadWholeStream(std::FILE* stream, std::string* bytes) {
    std::string read;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stream)) > 0) {
        if (read.size() + n > kMaxInputBytes) return BoundedRead::TooLarge;
        read.append(buf, n);
    }
    if (std::ferror(stream)) return BoundedRead::Failed;
    *bytes = std::move(read);
    return BoundedRead::Ok;
}

}  // namespace kvt
