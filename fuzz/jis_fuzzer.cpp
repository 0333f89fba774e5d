// The JIS and code-page-932 conversions on any codes and bytes. Codes: every
// 4-byte group of the input as an unsigned value. Both arithmetic
// conversions give codes in their ranges and undo each other; the whole
// input also goes through both iconv conversions.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "protocol/jis.h"
#include "settings/cp932.h"

using namespace kvt;

namespace {

bool JisByte(unsigned b) { return b >= 0x21 && b <= 0x7E; }

void CheckCode(unsigned code) {
    const unsigned jis = ToJisCode(code);
    if (jis != 0) {
        fuzz::Check(JisByte(jis >> 8) && JisByte(jis & 0xFF), "a JIS code has two JIS bytes");
        // Below the IBM extension the conversion is one-to-one.
        if (code < 0xFA40) fuzz::Check(JisToShiftJis(jis) == code, "Shift-JIS -> JIS -> back");
    }
    const unsigned sjis = JisToShiftJis(code);
    fuzz::Check((sjis != 0) == (code <= 0xFFFF && JisByte(code >> 8) && JisByte(code & 0xFF)),
                "every JIS code and only those have a Shift-JIS code");
    if (sjis != 0) fuzz::Check(ToJisCode(sjis) == code, "JIS -> Shift-JIS -> back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (size_t pos = 0; pos + 4 <= size; pos += 4) {
        uint32_t code;
        std::memcpy(&code, data + pos, sizeof code);
        CheckCode(code);
        CheckCode(code & 0xFFFF);
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = Cp932ToUtf8(bytes);
    std::string back;
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos)
        fuzz::Check(Utf8ToCp932(utf8, &back), "decoded text encodes again");
    std::string cp932 = "unchanged";
    if (!Utf8ToCp932(bytes, &cp932)) fuzz::Check(cp932 == "unchanged", "a failed conversion leaves the output");
    return 0;
}
