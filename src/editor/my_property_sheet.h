// The settings sheet ("KVTの設定"): nine tabbed pages editing the store.
#pragma once

class QWidget;

namespace kvt {

// Builds the sheet, runs it modally and destroys it. Called by the view for
// the menu command "KVTの設定".
void RunSettingsSheet(QWidget* owner);

}  // namespace kvt
