// Decoders of the sign's read-back replies and the meaning of its error
// replies. Each decoder takes the reply text after the RS-485 prefix has been
// removed (CR LF still on it) and writes only its own fields of the store. A
// reply shorter than its layout, or naming a page outside 1..32, is ignored
// whole.
#pragma once

#include <string>

#include "settings/panel_settings.h"

namespace kvt {

void DecodeTextReply(const std::string& text, PanelSettings* s);         // "CA" pp 392 hex
void DecodeDisplayTimeReply(const std::string& text, PanelSettings* s);  // "PTCT" 32 x 2 digits
void DecodeFillBorderReply(const std::string& text, PanelSettings* s);   // "PTFB" 32 x N/other
void DecodeWhiteLevelReply(const std::string& text, PanelSettings* s);   // "PTWL" 32 x H/other
void DecodeHPositionReply(const std::string& text, PanelSettings* s);    // "PH" 2 digits
void DecodeVPositionReply(const std::string& text, PanelSettings* s);    // "PV" 2 digits
void DecodePageReply(const std::string& text, int* currentPage);         // "P?n?" CR
void DecodeBlinkReply(const std::string& text, PanelSettings* s);        // "Ppp" "B..." 7 x N/other
void DecodeColourReply(const std::string& text, PanelSettings* s);       // "Ppp" "C..." 7 x 2 digits

// Hands a read-back reply to its decoder. False when the text is none of
// them; a "P" line that fits none of the layouts counts as one (dropped).
bool DecodeReadBackReply(const std::string& text, PanelSettings* s, int* currentPage);

// The errors the sign answers with.
enum class SignError { ModeError, MenuDisplay, FramingError, ParityError, OverRunError, CommandError };

// The error of an error reply text ("GN\r\n": ModeError, ...); false when
// the text is none of them.
bool ErrorReplyOf(const std::string& replyText, SignError* error);
// The sign's own name of the error ("Mode Error", ...), shown as it is in
// every language.
const char* SignErrorText(SignError error);

}  // namespace kvt
