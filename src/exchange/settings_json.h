// Every setting of a settings file as JSON, for scripts:
//
// {
//   "format": "kvt540m-settings", "version": 1,
//   "selectedPage": 1,          // the selected page, 1..32
//   "sequence": false,          // true: the sign shows its pages in turn
//   "hPosition": 8, "vPosition": 8,                                  // 0..15
//   "pages": [{
//     "page": 1,                // 1..32
//     "whiteLevel": "High",     // "Low" or "High" (or 0, 1)
//     "displayTime": 2,         // seconds, 0..99
//     "fill": [1, 3],           // the lines shown filled, 1..7 (or the bit mask 0..127)
//     "lines": [{
//       "line": 1,              // 1..7
//       "text": "ようこそ",     // UTF-8; at most 14 full-width JIS level 1/2 characters
//       "charColour": 7, "borderColour": 0,  // 0..8 (or "黒" .. "ブランク")
//       "blink": 0              // 0 off, 1..4 (or "OFF", "1".."4")
//     }, ...]
//   }, ...]
// }
//
// "format" and "version" must be there; every other key may be left out,
// and so may pages and lines: what is left out keeps the store's value. The
// order of keys and of array entries does not matter. A value that only a
// hand-edited file can hold (a colour 12, a 6-byte half-width text) is
// written as it is, as a bare number where it has no name, so that the file
// comes back unchanged.
#pragma once

#include <string>
#include <vector>

#include "settings/panel_settings.h"

namespace kvt {

std::string SettingsToJson(const PanelSettings& settings, int currentPage);

// Takes a JSON document of the shape above into the store and the selected
// page. Unknown keys, wrong types and values out of range (other than the
// value the store already holds) are refused. On any problem nothing is
// changed and the problems are returned, each naming its JSON path (as
// ProblemList::Lines gives them).
std::vector<std::string> ApplySettingsJson(const std::string& json, PanelSettings* settings,
                                           int* currentPage);

}  // namespace kvt
