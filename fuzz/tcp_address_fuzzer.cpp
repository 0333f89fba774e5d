// The parsing of tcp://HOST:PORT on any text, and the clipping of values in
// messages (a host name being one). An address that is taken has a host and
// a decimal port and gives them again written with the host in brackets.
// A clipped value is the value itself or its first 40 characters and "...",
// never cut inside a UTF-8 sequence.
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/value_checks.h"
#include "fuzz_support.h"
#include "serial/tcp_transport.h"
#include "text/clipped.h"

using namespace kvt;

namespace {

// Characters of well-formed UTF-8, counted by Qt's decoder.
size_t Characters(const std::string& utf8) {
    return static_cast<size_t>(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUcs4().size());
}

void CheckClipped(const std::string& value) {
    const std::string clipped = Clipped(value);
    const bool utf8 = IsUtf8(value);
    if (utf8 && Characters(value) <= kClippedChars) {
        fuzz::Check(clipped == value, "a value of at most 40 characters stays whole");
        return;
    }
    if (!utf8 && clipped == value) {
        fuzz::Check(value.size() <= 4 * kClippedChars + 3, "a whole value is short");
        return;
    }
    fuzz::Check(clipped.size() >= 3 && clipped.compare(clipped.size() - 3, 3, "...") == 0,
                "a clipped value ends in \"...\"");
    const std::string kept = clipped.substr(0, clipped.size() - 3);
    fuzz::Check(value.compare(0, kept.size(), kept) == 0 && kept.size() <= 4 * kClippedChars,
                "a clipped value starts as the value, with at most 40 4-byte characters");
    if (utf8)
        fuzz::Check(IsUtf8(kept) && Characters(kept) == kClippedChars,
                    "a UTF-8 value is cut after 40 whole characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    CheckClipped(address);
    std::string host, port;
    if (!TcpTransport::Parse(address, &host, &port)) return 0;
    fuzz::Check(
        !host.empty() && !port.empty() && port.find_first_not_of("0123456789") == std::string::npos,
        "a host and a decimal port");
    std::string hostAgain, portAgain;
    fuzz::Check(TcpTransport::Parse(std::string(TcpTransport::kScheme) + "[" + host + "]:" + port,
                                    &hostAgain, &portAgain) &&
                    hostAgain == host && portAgain == port,
                "the host in brackets gives the same host and port");
    return 0;
}
