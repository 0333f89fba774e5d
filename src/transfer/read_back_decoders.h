// Decoders of the sign's read-back replies. Each takes the reply text after
// the RS-485 prefix has been removed (CR LF still on it) and writes only its
// own fields of the store. A reply shorter than its layout, or naming a page
// outside 1..32, is ignored whole.
#pragma once

#include <string>

namespace kvt {

void DecodeTextReply(const std::string& text);         // "CA" pp 392 hex
void DecodeDisplayTimeReply(const std::string& text);  // "PTCT" 32 x 2 digits
void DecodeFillBorderReply(const std::string& text);   // "PTFB" 32 x N/other
void DecodeWhiteLevelReply(const std::string& text);   // "PTWL" 32 x H/other
void DecodeHPositionReply(const std::string& text);    // "PH" 2 digits
void DecodeVPositionReply(const std::string& text);    // "PV" 2 digits
void DecodePageReply(const std::string& text);         // "P?n?" CR
void DecodeBlinkReply(const std::string& text);        // "Ppp" "B..." 7 x N/other
void DecodeColourReply(const std::string& text);       // "Ppp" "C..." 7 x 2 digits

}  // namespace kvt
