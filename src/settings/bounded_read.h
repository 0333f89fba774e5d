// Whole-stream reads with a ceiling. A settings file is a few kilobytes and
// a stream of reply lines not much more; anything far beyond that (a device
// such as /dev/zero, a wrong file) is refused before it can exhaust memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace kvt {

constexpr std::size_t kMaxInputBytes = std::size_t{1} << 20;
extern const char* const kMaxInputText;  // "1 MiB (1048576 bytes)"

enum class BoundedRead { Ok, Failed, TooLarge };

// Reads the stream to its end into *bytes. TooLarge as soon as it holds more
// than kMaxInputBytes (what was read is then discarded); Failed on a read
// error. Pipes and FIFOs are read like files.
BoundedRead ReadWholeStream(std::FILE* stream, std::string* bytes);

}  // namespace kvt
