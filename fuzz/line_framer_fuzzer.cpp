// The link's line framing on any sequence of reads, against a model: a
// line is what arrived since the last completed line when a read ends in
// LF, and it is dropped whole when it grew beyond 499 bytes. Input: each
// read is one length byte followed by up to that many bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "serial/line_framer.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LineFramer framer;
    std::string gathered;  // the model's line so far
    size_t pos = 0;
    while (pos < size) {
        size_t count = data[pos++];
        if (count > size - pos) count = size - pos;
        const char* read = reinterpret_cast<const char*>(data) + pos;
        pos += count;

        std::string line = "untouched";
        const bool completed = framer.Feed(read, count, &line);
        gathered.append(read, count);
        const bool endsLine = count > 0 && read[count - 1] == '\n';
        if (!endsLine) {
            fuzz::Check(!completed && line == "untouched", "no line before a read ends in LF");
            continue;
        }
        const bool kept = gathered.size() <= LineFramer::kMaxLine;
        fuzz::Check(completed == kept, "a line is kept exactly when it fits");
        if (kept) fuzz::Check(line == gathered, "the line is what arrived");
        gathered.clear();
    }
    return 0;
}
