#include "settings/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace kvt {

namespace {

const char* const kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One iconv conversion. On a byte sequence that does not convert, onBad is
// asked whether to go on (after skipping one input byte) or give up.
template <typename OnBad>
bool Convert(const char* to, const char* from, const std::string& in, std::string* out,
             OnBad onBad) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out->append(buf, static_cast<size_t>(dst - buf));
        if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL (a character cut off at the end).
        if (!onBad(out)) {
            ok = false;
            break;
        }
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return ok;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& cp932) {
    std::string out;
    Convert("UTF-8", "CP932", cp932, &out, [](std::string* o) {
        *o += kReplacement;
        return true;
    });
    return out;
}

bool Utf8ToCp932(const std::string& utf8, std::string* out) {
    std::string converted;
    if (!Convert("CP932", "UTF-8", utf8, &converted, [](std::string*) { return false; }))
        return false;
    if (out) *out = converted;
    return true;
}

}  // namespace kvt
