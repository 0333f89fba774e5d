// The set commands of the sign. Every command is built by a Build function
// that reads a store and touches no port, returning the line (without the
// RS-485 prefix, ending in CR LF) or its rejection. A session dispatches
// them (session/session.h).
#pragma once

#include <string>

#include "settings/panel_settings.h"

namespace kvt {

// Why a command was not built.
enum class Rejection {
    None,
    NotJis,       // a text line that cannot travel as JIS codes (WarningBox)
    BlankColour,  // a line whose two colours are both blank ("Miss! Can't Set")
    OutOfRange,   // a value outside its field's range (from a hand-edited file)
};

struct Command {
    std::string line;  // empty when rejected
    Rejection rejection = Rejection::None;
    std::string message;  // the message shown for a rejection (UTF-8)
    bool rejected() const { return rejection != Rejection::None; }
};

extern const char* const kJisMessage;        // "ＪＩＳ第１水準,第２水準以外の字が選択されてます"
extern const char* const kCantSetMessage;    // "Miss! Can't Set"

// Checks the seven lines of the page (each at most 28 bytes and even) and
// joins them, padded with full-width spaces, into the 196-byte page text.
bool MakePageText(const PanelSettings& s, int page, std::string* pageText);

// Builders (page is a page index 0..31; storeLetter is 'A' or 'N').
Command BuildTextCommand(const PanelSettings& s, char storeLetter, int page);  // "CA"/"CN", 398 bytes
Command BuildFillBorderAll(const PanelSettings& s);                 // "PTFB", 70 bytes
Command BuildFillBorderPage(const PanelSettings& s, int page);      // "PppFBLT", 11 bytes
Command BuildWhiteLevelAll(const PanelSettings& s);                 // "PTWL", 38 bytes
Command BuildColourPage(const PanelSettings& s, int page);          // "PppICLT", 23 bytes
Command BuildBlinkPage(const PanelSettings& s, int page);           // "PppBDLT", 16 bytes
Command BuildDisplayOnOff(int displayOn);                           // "IDON"/"IDOF", 6 bytes
Command BuildPageSelect(const PanelSettings& s, int currentPage);   // "Ppp"/"PAS", 5 bytes
Command BuildDisplayTimeAll(const PanelSettings& s);                // "PTCT", 70 bytes
Command BuildHPosition(const PanelSettings& s);                     // "PHnn", 6 bytes
Command BuildVPosition(const PanelSettings& s);                     // "PVnn", 6 bytes

constexpr int kLastSlave = 31;

// "00".."31" in RS-485 mode (lineMode non-zero), "" in RS-232C mode and for
// a slaveNo outside 0..31 (no sign answers to one).
std::string SlavePrefix(int lineMode, int slaveNo);

}  // namespace kvt
