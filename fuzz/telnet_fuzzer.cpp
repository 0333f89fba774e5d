// The Telnet decoder on any stream split anywhere, with our answers to
// what it finds: the data and events do not depend on where the reads end,
// the data never outgrows the stream nor a subnegotiation its bound, data
// escaped again decodes back to itself, and no answer repeats the server's
// verb. Input: two bytes giving where a read ends, then the stream.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "serial/com_port_control.h"
#include "serial/telnet_codec.h"

using namespace kvt;
using namespace kvt::telnet;

namespace {

struct Decoded {
    std::string data;
    std::vector<Event> events;
};

Decoded DecodeInReads(const std::string& stream, const std::vector<size_t>& ends) {
    Decoder decoder;
    Decoded out;
    size_t start = 0;
    for (size_t end : ends) {
        std::string read = stream.substr(start, end - start);
        const size_t n = decoder.Decode(read.data(), read.size(), read.data(), &out.events);
        fuzz::Check(n <= read.size(), "a read decodes to no more than its bytes");
        out.data += read.substr(0, n);
        start = end;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::string stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t split = (data[0] << 8 | data[1]) % (stream.size() + 1);

    const Decoded whole = DecodeInReads(stream, {stream.size()});
    const Decoded two = DecodeInReads(stream, {split, stream.size()});
    fuzz::Check(two.data == whole.data && two.events == whole.events,
                "a split read decodes as the whole");
    if (stream.size() <= 512) {
        std::vector<size_t> everyByte;
        for (size_t end = 1; end <= stream.size(); ++end) everyByte.push_back(end);
        const Decoded single = DecodeInReads(stream, everyByte);
        fuzz::Check(single.data == whole.data && single.events == whole.events,
                    "byte by byte decodes as the whole");
    }

    const std::string escaped = Escape(whole.data.data(), whole.data.size());
    const Decoded back = DecodeInReads(escaped, {escaped.size()});
    fuzz::Check(back.data == whole.data && back.events.empty(), "escaped data decodes to itself");

    Negotiator negotiator;
    negotiator.AskLocal(kComPort);
    negotiator.AskLocal(kBinary);
    negotiator.AskRemote(kBinary);
    ComPortControl control;
    for (const Event& event : whole.events) {
        if (event.kind == Event::Kind::Subnegotiation) {
            fuzz::Check(event.payload.size() <= Decoder::kMaxSubnegotiation,
                        "a subnegotiation stays within its bound");
            control.TakeAnswer(event.payload);
        } else if (event.kind == Event::Kind::Negotiation) {
            const std::string answer = negotiator.Answer(event.code, event.option);
            const bool echoes = answer.size() == 3 && static_cast<unsigned char>(answer[1]) == event.code;
            fuzz::Check((answer.empty() || answer.size() == 3) && !echoes, "an answer never repeats the verb");
        }
    }
    const bool namesUnanswered = control.Unconfirmed().find("(no answer)") != std::string::npos;
    fuzz::Check(control.AllAnswered() != namesUnanswered, "a setting left unanswered is named");
    return 0;
}
