#include "render/blink.h"

#include "render/dot_page.h"

namespace kvt {

bool BlinkLit(int64_t sinceShownMs) { return (sinceShownMs / kBlinkHalfPeriodMs) % 2 == 0; }

int64_t NextBlinkChange(int64_t sinceShownMs) {
    return (sinceShownMs / kBlinkHalfPeriodMs + 1) * kBlinkHalfPeriodMs;
}

bool PageBlinks(const PanelSettings& s, int page) {
    if (page < 0 || page >= kPageCount) return false;
    for (int k = 0; k < kLineCount; ++k)
        if (s.blinkMode[page][k] != 0 && LineHasContent(s, page, k)) return true;
    return false;
}

}  // namespace kvt
