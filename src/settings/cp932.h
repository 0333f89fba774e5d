// Conversions between code page 932 bytes (how line texts are held) and
// UTF-8 (windows and terminal), through iconv's "CP932".
#pragma once

#include <string>

namespace kvt {

// Bytes that do not convert come out as U+FFFD, one per bad byte.
std::string Cp932ToUtf8(const std::string& cp932);

// False when a character has no code-page-932 form; *out is then unchanged.
// A null out only asks whether the text converts.
bool Utf8ToCp932(const std::string& utf8, std::string* out);

}  // namespace kvt
