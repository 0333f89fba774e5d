// A store held against what a sign reported in a read-back: the differences
// a person reads, field by field ("page 05 line 2 character colour: file 赤
// (1), sign 白 (7)"). Only what a read-back can tell is compared: texts as
// they travel, blink and fill bordering as on or off, the selected page when
// the file does not run the pages in sequence; the sequence itself and the
// display on/off choice are not read.
#pragma once

#include <string>
#include <vector>

#include "settings/panel_settings.h"

namespace kvt {

// Each difference as one line of UTF-8 text; empty when they agree.
std::vector<std::string> CompareWithSign(const PanelSettings& file, int fileCurrentPage,
                                         const PanelSettings& sign, int signCurrentPage);

}  // namespace kvt
