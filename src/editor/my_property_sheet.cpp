// Placeholder until the settings sheet is built: the menu command shows
// nothing.
#include "editor/my_property_sheet.h"

namespace kvt {

void RunSettingsSheet(QWidget*) {}

}  // namespace kvt
