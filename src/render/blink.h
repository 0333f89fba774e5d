// The blink rhythm of the pictures: 1 Hz, half a second lit and half a
// second dark, lit first from the moment a page comes on. The blink
// settings 1..4 all blink so; the pictures do not tell them apart.
#pragma once

#include <cstdint>

#include "settings/panel_settings.h"

namespace kvt {

constexpr int64_t kBlinkHalfPeriodMs = 500;

// In the lit half at sinceShownMs (>= 0) after the page came on.
bool BlinkLit(int64_t sinceShownMs);
// The time after the page came on of the first change after sinceShownMs.
int64_t NextBlinkChange(int64_t sinceShownMs);
// Some line of the page with a blink setting has anything to show, so the
// picture changes with the blink.
bool PageBlinks(const PanelSettings& s, int page);

}  // namespace kvt
