// Dialog layouts are given in dialog units; this converts them to pixels the
// way the Windows dialog manager does, from the dialog's font:
// x pixels = units * average character width / 4,
// y pixels = units * character height / 8.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kvt {

// The dialog font: a 9-point Japanese proportional Gothic (12 pixels).
QFont DialogFont();
// A fixed-pitch Japanese Gothic with the given character cell height.
QFont FixedGothicFont(int cellHeightPixels);

// Rectangle in pixels for (x, y, w, h) in dialog units of font.
QRect DialogRect(const QFont& font, int x, int y, int w, int h);
QSize DialogSize(const QFont& font, int w, int h);

}  // namespace kvt
