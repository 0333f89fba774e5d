#include "serial/line_framer.h"

namespace kvt {

bool LineFramer::Feed(const char* bytes, std::size_t count, std::string* line) {
    if (count == 0 || bytes == nullptr) return false;
    if (!overflow_ && line_.size() + count > kMaxLine) {
        overflow_ = true;
        line_.clear();
    }
    if (!overflow_) line_.append(bytes, count);
    if (bytes[count - 1] != '\n') return false;
    bool keep = !overflow_ && line != nullptr;
    if (keep) line->swap(line_);
    Clear();
    return keep;
}

void LineFramer::Clear() {
    line_.clear();
    overflow_ = false;
}

}  // namespace kvt
