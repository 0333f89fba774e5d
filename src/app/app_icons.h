// The program's own icons: the application (an LED sign panel on two posts,
// data/icons/kvt540m.svg, built into PNGs and into the program) and its
// settings documents (a sheet with that sign on it).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kvt {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();
QIcon DocumentIcon();

}  // namespace kvt
