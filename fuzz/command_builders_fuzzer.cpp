// The command builders and the step tables on any store, page, step and
// slave. Input: a 16-byte header (page, slave and step as 32-bit values,
// line mode, display on/off, store letter, a spare byte), then a settings
// file that fills the store. Every line that is built has its layout and
// fixed length and holds nothing but printable ASCII; every rejection has a
// message and no line; what goes on the wire is the line with a valid
// prefix, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "protocol/command_set.h"
#include "session/session.h"
#include "settings/settings_file.h"
#include "transfer/run_steps.h"

using namespace kvt;

namespace {

int32_t Int32At(const uint8_t* data) {
    uint32_t value;
    std::memcpy(&value, data, sizeof value);
    return static_cast<int32_t>(value);
}

bool Printable(const std::string& body) {
    for (unsigned char c : body)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

void CheckCommand(const Command& c, size_t length) {
    if (c.rejected()) {
        fuzz::Check(c.line.empty() && !c.message.empty(), "a rejection has a message, no line");
        return;
    }
    fuzz::Check(c.line.size() == length, "fixed length");
    fuzz::Check(c.line.compare(length - 2, 2, "\r\n") == 0, "ends in CR LF");
    fuzz::Check(Printable(c.line.substr(0, length - 2)), "printable ASCII");
}

// Sends the command as the program would and checks what reached the port.
void CheckWire(const Command& c, fuzz::FuzzSession& fuzzed) {
    Session& session = fuzzed.session;
    const int lineMode = session.lineMode;
    const int slaveNo = session.slaveNo;
    fuzz::WirePort& port = fuzzed.port;
    port.written.clear();
    session.replyPending = 0;
    session.Dispatch(c);
    if (c.rejected() || (lineMode != 0 && (slaveNo < 0 || slaveNo > 31))) {
        fuzz::Check(port.written.empty() && session.replyPending == 0, "nothing sent");
        return;
    }
    fuzz::Check(port.written.size() == 1 && session.replyPending == 1, "one line sent");
    const std::string prefix = lineMode != 0 ? std::string(1, char('0' + slaveNo / 10)) +
                                                   char('0' + slaveNo % 10)
                                             : "";
    fuzz::Check(port.written[0] == prefix + c.line, "the line with its prefix");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kHeader = 16;
    if (size < kHeader) return 0;
    fuzz::FuzzSession fuzzed;
    Session& session = fuzzed.session;
    const PanelSettings& s = session.panelSettings;
    const int page = Int32At(data);
    session.slaveNo = Int32At(data + 4);
    const int step = Int32At(data + 8);
    session.lineMode = data[12] & 1;
    session.displayOn = data[13] & 1;
    const char storeLetter = static_cast<char>(data[14]);
    ParseSettings(std::string(reinterpret_cast<const char*>(data) + kHeader, size - kHeader),
                  &session.panelSettings, &session.currentPage);

    for (int p : {page, page & 31}) {
        CheckCommand(BuildTextCommand(s, storeLetter, p), 398);
        CheckCommand(BuildFillBorderPage(s, p), 11);
        CheckCommand(BuildColourPage(s, p), 23);
        CheckCommand(BuildBlinkPage(s, p), 16);
        CheckWire(BuildColourPage(s, p), fuzzed);
    }
    CheckCommand(BuildFillBorderAll(s), 70);
    CheckCommand(BuildWhiteLevelAll(s), 38);
    CheckCommand(BuildDisplayOnOff(session.displayOn), 6);
    CheckCommand(BuildPageSelect(s, session.currentPage), 5);
    CheckCommand(BuildDisplayTimeAll(s), 70);
    CheckCommand(BuildHPosition(s), 6);
    CheckCommand(BuildVPosition(s), 6);
    CheckWire(BuildHPosition(s), fuzzed);

    const Command stepCommand = BuildAllItemsStep(s, session.currentPage, step);
    fuzz::Check(stepCommand.rejected() || stepCommand.line.empty() ||
                    stepCommand.line.compare(stepCommand.line.size() - 2, 2, "\r\n") == 0,
                "an all-items step is a line, nothing, or a rejection");
    const std::string request = ReadRequestAt(step);
    fuzz::Check(request.empty() || (request.size() <= 10 && request[0] == 'R' &&
                                    request.compare(request.size() - 2, 2, "\r\n") == 0),
                "a read request is a short R line or nothing");
    return 0;
}
