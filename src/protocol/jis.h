// Shift-JIS (code page 932) <-> JIS X 0208 code conversions used on the wire.
#pragma once

namespace kvt {

// JIS code of one two-byte Shift-JIS code (lead byte * 256 + trail byte),
// including the IBM extension mapping; 0 when it has none.
unsigned ToJisCode(unsigned sjis);

// Shift-JIS code of one JIS X 0208 code; 0 when a byte is outside 0x21..0x7E.
unsigned JisToShiftJis(unsigned jis);

}  // namespace kvt
