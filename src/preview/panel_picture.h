// The drawing of the panel picture, in device pixels of the view.
#pragma once

#include <QString>

class QPainter;

namespace kvt {

// Elements 1 to 10: panel, switch, frame, rules, green mark, blocks, texts,
// and the caption "File Name " + fileName at (150, 132).
void DrawPanelPicture(QPainter& painter, const QString& fileName);

// The caption blanked by File new: "File Name" and 46 spaces, black on
// opaque white, at the caption's place.
void DrawBlankCaption(QPainter& painter);

}  // namespace kvt
