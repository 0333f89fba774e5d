// The line texts with their colours and blink as a CSV sheet: one row per
// page and line under a header row "page,line,text,character colour,border
// colour,blink". Written as UTF-8 with a byte order mark (so that
// spreadsheets take it for UTF-8, not the local code page) and CR LF line
// ends; colours by their names ("白"), blink as "OFF" or "1".."4".
#pragma once

#include <string>
#include <vector>

#include "settings/panel_settings.h"

namespace kvt {

std::string TextsToCsv(const PanelSettings& settings);

// Takes the rows of a sheet into the store. The header names the columns
// (any order; page and line are needed, the others may be left out); rows
// that are left out or blank keep the store's values. Colours by code or
// name, blink by code or "OFF". On any problem the store is left as it was
// and the problems are returned, each naming its row and column (as
// ProblemList::Lines gives them).
std::vector<std::string> ApplyTextsCsv(const std::string& csv, PanelSettings* settings);

}  // namespace kvt
