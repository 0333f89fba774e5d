// Gathers the bytes of successive reads into reply lines. A line is complete
// when a read ends in LF (an LF inside a read does not end it); the CR LF
// stays on the line. A line that grows beyond kMaxLine bytes is dropped whole,
// up to and including the read that finally ends in LF.
#pragma once

#include <cstddef>
#include <string>

namespace kvt {

class LineFramer {
public:
    static constexpr std::size_t kMaxLine = 499;

    // Appends one read. Returns true and sets *line when the read completed
    // a line that is kept (a null line drops it; null bytes are no read).
    bool Feed(const char* bytes, std::size_t count, std::string* line);
    // Forgets the line being gathered.
    void Clear();

private:
    std::string line_;
    bool overflow_ = false;  // the current line is too long: drop it
};

}  // namespace kvt
