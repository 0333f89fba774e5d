// A value quoted back in a message (a cell, a JSON key, a host name, a
// device path, a slave list) is whatever the user or a file gave, of any
// length: messages show only its start, so that a hostile input cannot make
// a message of megabytes.
#pragma once

#include <cstddef>
#include <string>

namespace kvt {

constexpr std::size_t kClippedChars = 40;

// The value when it has at most kClippedChars characters; otherwise its first
// kClippedChars characters followed by "...". Characters are UTF-8 sequences:
// the cut never falls inside one. A byte that starts no well-formed sequence
// counts as one character.
std::string Clipped(const std::string& value);

}  // namespace kvt
