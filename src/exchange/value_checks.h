// What the import of texts and settings accepts for one value. Every value
// is either one the sign takes or the value FILE.dat already holds there, so
// that a file exported and imported again comes back unchanged even when it
// was edited by hand beyond the ranges.
#pragma once

#include <string>

#include "settings/panel_settings.h"

namespace kvt {

// The text without the blanks and tabs around it.
std::string TrimBlanks(const std::string& text);

// A whole decimal number with an optional minus sign; blanks around it are
// allowed (a spreadsheet user may type them).
bool ParseInteger(const std::string& text, int* value);

// "" when value is old or within the range, otherwise why not.
std::string RangeProblem(int value, int old, ValueRange range);

// The colour names in a hint, each between quote marks: "黒, 赤, ...".
std::string ColourNameList(const char* quote);

// A colour given as its code or its name ("黒" .. "ブランク"); false when it
// is neither. The code is not range-checked here.
bool ParseColour(const std::string& text, int* code);
// A blink setting given as "OFF" (any case) or its code.
bool ParseBlink(const std::string& text, int* code);

// Turns a line text given in UTF-8 into the code-page-932 bytes the store
// holds. A text that reads the same as oldBytes keeps oldBytes; any other
// text must be one the sign can show. Returns "" and sets *bytes, or says
// why the text cannot be taken.
std::string LineTextProblem(const std::string& utf8, const std::string& oldBytes,
                            std::string* bytes);

// A value for messages: clipped (see Clipped), control bytes shown as \xNN.
std::string Shown(const std::string& utf8);
// The same between double quotes.
std::string Quoted(const std::string& utf8);

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(const std::string& bytes);

}  // namespace kvt
