// Pictures of pages: every dot a round LED on the black panel.
#pragma once

#include <QImage>

#include "render/dot_page.h"

namespace kvt {

constexpr int kMinScale = 1;
constexpr int kMaxScale = 16;

// scale x scale pixels per dot (kMinScale..kMaxScale): the image is
// kPanelDotsWide * scale by kPanelDotsHigh * scale. From a scale of 3 up a
// dot is a disc in the middle of its square; below that it fills it.
QImage PaintDotPage(const DotPage& dots, int scale);

// BuildDotPage and PaintDotPage in one.
QImage RenderPage(const PanelSettings& s, int page, DotFont& font, int scale, bool blinkLit = true);

}  // namespace kvt
