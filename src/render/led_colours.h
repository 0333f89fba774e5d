// The LED colours of the colour table ("黒" .. "ブランク") as the pictures of
// the pages show them: the sign's red, green and blue diodes, on or off. A
// picture is a likeness of the sign, not a measurement of it.
#pragma once

#include <QRgb>

#include "settings/panel_settings.h"

namespace kvt {

constexpr int kBlackColour = 0;  // "黒": the diodes stay dark
// kBlankColour ("ブランク", panel_settings.h): nothing is drawn, what lies below shows

// Between the dots.
constexpr QRgb kPanelRgb = qRgb(0, 0, 0);

// The colour of a dot of colour index 0..7 at the page's white level (0 Low,
// anything else High). Black is a dark diode, and stays so at Low; Low
// halves every channel of a lit one.
QRgb LedRgb(int colour, int whiteLevel);

// True for the indexes that draw something (0..7); blank and values only a
// hand-edited file holds draw nothing.
bool Drawn(int colour);

}  // namespace kvt
