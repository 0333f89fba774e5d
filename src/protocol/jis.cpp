#include "protocol/jis.h"

namespace kvt {

namespace {

struct IbmRemapRow {
    unsigned first;
    unsigned last;
    unsigned subtract;
};

// IBM extension kanji (0xFA5C..0xFC4B) and their twins in the NEC-selected
// IBM extension area (0xED40..0xEEEC), which has JIS codes.
constexpr IbmRemapRow kIbmRemap[] = {
    {0xFA5C, 0xFA7E, 0x0D1C}, {0xFA80, 0xFA9B, 0x0D1D}, {0xFA9C, 0xFAFC, 0x0D1C},
    {0xFB40, 0xFB5B, 0x0D5F}, {0xFB5C, 0xFB7E, 0x0D1C}, {0xFB80, 0xFB9B, 0x0D1D},
    {0xFB9C, 0xFBFC, 0x0D1C}, {0xFC40, 0xFC4B, 0x0D5F},
};

unsigned RemapIbmExtension(unsigned sjis) {
    for (const IbmRemapRow& row : kIbmRemap) {
        if (sjis >= row.first && sjis <= row.last) return sjis - row.subtract;
    }
    return 0;
}

bool IsLeadByte(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The plain arithmetic Shift-JIS -> JIS conversion, limited to JIS rows 1..94.
unsigned ShiftJisToJis(unsigned sjis) {
    const unsigned lead = sjis / 256;
    const unsigned trail = sjis % 256;
    if (sjis > 0xFFFF || !IsLeadByte(lead) || !IsTrailByte(trail)) return 0;
    const unsigned h = lead < 0xA0 ? lead - 0x81 : lead - 0xC1;
    unsigned jis;
    if (trail >= 0x9F) {
        jis = h * 512 + 0x2200 + (trail - 0x7E);
    } else if (trail <= 0x7E) {
        jis = h * 512 + 0x2100 + (trail - 0x1F);
    } else {
        jis = h * 512 + 0x2100 + (trail - 0x20);
    }
    const unsigned low = jis % 256;
    if (jis > 0x7E7E || jis < 0x2121 || low < 0x21 || low > 0x7E) return 0;
    return jis;
}

}  // namespace

unsigned ToJisCode(unsigned sjis) {
    // Small Roman numerals and three symbols of the IBM extension map
    // straight onto row 92.
    if (sjis >= 0xFA40 && sjis <= 0xFA49) return sjis - 0x7DCF;
    if (sjis >= 0xFA55 && sjis <= 0xFA57) return sjis - 0x7DD9;
    if (sjis >= 0xFA5C) sjis = RemapIbmExtension(sjis);
    return ShiftJisToJis(sjis);
}

unsigned JisToShiftJis(unsigned jis) {
    const unsigned j1 = jis / 256;
    const unsigned j2 = jis % 256;
    if (jis > 0xFFFF || j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return 0;
    unsigned s2;
    if (j1 % 2 == 1) {
        s2 = j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20;
    } else {
        s2 = j2 + 0x7E;
    }
    unsigned s1 = (j1 - 0x21) / 2 + 0x81;
    if (s1 > 0x9F) s1 += 0x40;
    return s1 * 256 + s2;
}

}  // namespace kvt
