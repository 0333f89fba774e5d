// The parsing of network addresses (tcp://HOST:PORT, rfc2217://HOST:PORT)
// on any text, and the clipping of values in messages (a host name being
// one). An address that is taken has a host and a port 1..65535 and gives
// them again written with the host in brackets; one that is not gets one
// short message.
// A clipped value is the value itself or its first 40 characters and "...",
// never cut inside a UTF-8 sequence.
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/value_checks.h"
#include "fuzz_support.h"
#include "serial/tcp_transport.h"
#include "text/clipped.h"

using namespace kvt;

namespace {

// Characters of well-formed UTF-8, counted by Qt's decoder; a byte order
// mark at the start is a character like any other (QString::fromUtf8 drops
// it).
size_t Characters(const std::string& utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return static_cast<size_t>(text.toUcs4().size());
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
    TcpTransport::Address parts;
    std::string error;
    if (!TcpTransport::Parse(address, &parts, &error)) {
        fuzz::Check(!error.empty() && error.size() < 300, "what is wrong is one short message");
        return 0;
    }
    const int port = parts.port.size() <= 5 && parts.port.find_first_not_of("0123456789") == std::string::npos
                         ? std::stoi(parts.port)
                         : 0;
    fuzz::Check(!parts.host.empty() && port >= 1 && port <= 65535, "a host and a port 1..65535");
    TcpTransport::Address again;
    fuzz::Check(TcpTransport::Parse(parts.scheme + "[" + parts.host + "]:" + parts.port, &again, &error) &&
                    again.scheme == parts.scheme && again.host == parts.host && again.port == parts.port,
                "the host in brackets gives the same address");
    return 0;
}
