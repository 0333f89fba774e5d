#include "text/clipped.h"

namespace kvt {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the UTF-8 sequence at value[at]: what its lead byte
// announces, as far as continuation bytes follow it; 1 for any other byte.
std::size_t SequenceLength(const std::string& value, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(value[at]);
    const std::size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t length = 1;
    while (length < announced && at + length < value.size() &&
           IsContinuation(static_cast<unsigned char>(value[at + length])))
        ++length;
    return length;
}

}  // namespace

std::string Clipped(const std::string& value) {
    std::size_t at = 0;
    for (std::size_t chars = 0; at < value.size(); ++chars) {
        if (chars == kClippedChars) return value.substr(0, at) + "...";
        at += SequenceLength(value, at);
    }
    return value;
}

}  // namespace kvt
