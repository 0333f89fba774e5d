// The set commands of the sign. Every command is built by a Build function
// that reads the store and touches no port, returning the line (without the
// RS-485 prefix, ending in CR LF) or its rejection. The Send functions build,
// show the rejection's message through the message-box seam, or hand the
// line to SendCommand.
#pragma once

#include <string>

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

// display on/off choice of the settings sheet; 1 at start, not in the file.
extern int displayOn;

// Checks the seven lines of the page (each at most 28 bytes and even) and
// joins them, padded with full-width spaces, into the 196-byte page text.
bool MakePageText(int page, std::string* pageText);

// Builders (page is a page index 0..31; storeLetter is 'A' or 'N').
Command BuildTextCommand(char storeLetter, int page);  // "CA"/"CN", 398 bytes
Command BuildFillBorderAll();                          // "PTFB", 70 bytes
Command BuildFillBorderPage(int page);                 // "PppFBLT", 11 bytes
Command BuildWhiteLevelAll();                          // "PTWL", 38 bytes
Command BuildColourPage(int page);                     // "PppICLT", 23 bytes
Command BuildBlinkPage(int page);                      // "PppBDLT", 16 bytes
Command BuildDisplayOnOff();                           // "IDON"/"IDOF", 6 bytes
Command BuildPageSelect();                             // "Ppp"/"PAS", 5 bytes
Command BuildDisplayTimeAll();                         // "PTCT", 70 bytes
Command BuildHPosition();                              // "PHnn", 6 bytes
Command BuildVPosition();                              // "PVnn", 6 bytes

// Shows the rejection's message (WarningBox, or the port-style box for
// "Miss! Can't Set", which leaves the port open) or sends the line.
// Returns true when the command was rejected and nothing was sent.
bool Dispatch(const Command& command);

// Build + Dispatch. Each returns true when rejected (nothing sent).
bool SendTextCommand(char storeLetter, int page);
bool SendFillBorderAll();
bool SendFillBorderPage(int page);
bool SendWhiteLevelAll();
bool SendColourPage(int page);
bool SendBlinkPage(int page);
bool SendDisplayOnOff();
bool SendPageSelect();
bool SendDisplayTimeAll();
bool SendHPosition();
bool SendVPosition();

}  // namespace kvt
