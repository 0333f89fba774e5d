// The program's own icons, drawn at start-up: the application (a small sign
// panel) and its settings documents (a sheet with a panel on it).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kvt {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();
QIcon DocumentIcon();

}  // namespace kvt
