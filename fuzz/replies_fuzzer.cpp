// The reply interpreter and the read-back decoders on any reply stream. The
// first byte chooses the line mode and whether a run is going on; the rest
// is cut into lines at LF as the link would hand them over (at most 499
// bytes). Each line also goes to every decoder directly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "protocol/command_set.h"
#include "protocol/read_back_decoders.h"
#include "session/session.h"

using namespace kvt;

namespace {

void DecodeWithEvery(const std::string& text, Session& session) {
    PanelSettings* s = &session.panelSettings;
    DecodeTextReply(text, s);
    DecodeDisplayTimeReply(text, s);
    DecodeFillBorderReply(text, s);
    DecodeWhiteLevelReply(text, s);
    DecodeHPositionReply(text, s);
    DecodeVPositionReply(text, s);
    DecodePageReply(text, &session.currentPage);
    DecodeBlinkReply(text, s);
    DecodeColourReply(text, s);
}

// What the decoders may leave in a store that started with the defaults.
void CheckStore(const Session& session) {
    const PanelSettings& s = session.panelSettings;
    fuzz::Check(session.currentPage >= 0 && session.currentPage < kPageCount, "selected page in range");
    for (int p = 0; p < kPageCount; ++p) {
        fuzz::Check(s.fillMask[p] == 0 || s.fillMask[p] == 1, "fill read as on/off");
        fuzz::Check(s.whiteLevel[p] == 0 || s.whiteLevel[p] == 1, "white level read as L/H");
        for (int k = 0; k < kLineCount; ++k)
            fuzz::Check(s.blinkMode[p][k] == 0 || s.blinkMode[p][k] == 1, "blink read as on/off");
        // A text read back can be sent again.
        fuzz::Check(BuildTextCommand(s, 'A', p).rejection != Rejection::NotJis, "read text sends");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::FuzzSession fuzzed;
    Session& session = fuzzed.session;
    session.lineMode = data[0] & 1;
    session.transferStep = (data[0] >> 1) & 1 ? 5 : 0;
    const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t start = 0;
    for (size_t lf = stream.find('\n'); lf != std::string::npos; lf = stream.find('\n', start)) {
        const std::string line = stream.substr(start, lf + 1 - start);
        start = lf + 1;
        if (line.size() > 499) continue;
        session.replyPending = 1;
        session.InterpretReply(line);
        fuzz::Check(session.replyPending == 0 && session.replyWaitTicks == 0,
                    "a reply ends the wait");
        DecodeWithEvery(line, session);
    }
    CheckStore(session);
    return 0;
}
