// The settings store: everything the program knows about what one sign shows.
// A session (session/session.h) holds one, with the run-time state beside it.
#pragma once

#include <string>

namespace kvt {

constexpr int kPageCount = 32;  // pages 0..31, "01".."32" on screen and wire
constexpr int kLineCount = 7;   // lines 0..6, "1行目".."7行目"

// The values the sign takes, each said once: the command set refuses a value
// outside them, the imports take none outside them, the pages offer them
// and the simulated sign applies them.
struct ValueRange {
    int low, high;
    constexpr bool Holds(int value) const { return value >= low && value <= high; }
    constexpr int count() const { return high - low + 1; }
};
constexpr ValueRange kColourRange{0, 8};        // colour index; the last is blank
constexpr int kBlankColour = kColourRange.high;
constexpr ValueRange kBlinkRange{0, 4};         // 0 off, 1..4
constexpr ValueRange kWhiteLevelRange{0, 1};    // Low, High
constexpr ValueRange kDisplayTimeRange{0, 99};  // seconds
constexpr ValueRange kPositionRange{0, 15};     // horizontal and vertical trim
constexpr ValueRange kFillRange{0, 0x7F};       // bit k: line k filled
constexpr ValueRange kSequenceRange{0, 1};      // 1: pages in sequence

// "LOW..HIGH", as messages and hints give a range.
std::string RangeText(ValueRange range);

struct PanelSettings {
    // Line texts are code-page-932 byte strings (at most 28 bytes when typed,
    // up to 33 bytes from a settings file).
    std::string lineText[kPageCount][kLineCount];
    int charColor[kPageCount][kLineCount];   // kColourRange
    int edgeColor[kPageCount][kLineCount];   // kColourRange
    int blinkMode[kPageCount][kLineCount];   // kBlinkRange
    int fillMask[kPageCount];                // kFillRange
    int whiteLevel[kPageCount];              // kWhiteLevelRange
    int displayTime[kPageCount];             // kDisplayTimeRange
    int sequenceMode;                        // kSequenceRange
    int hPosition;                           // kPositionRange
    int vPosition;                           // kPositionRange
};

// Defaults of a new store: texts empty, white on black, no blink, High,
// 2 s, no fill, positions 8/8, no sequence.
void ResetPanelSettings(PanelSettings* settings);

// Value lists shown by the settings pages; the stored value is the index.
extern const char* const kColourNames[kColourRange.count()];          // "黒" .. "ブランク" (UTF-8)
extern const char* const kBlinkNames[kBlinkRange.count()];            // "OFF", "1" .. "4"
extern const char* const kWhiteLevelNames[kWhiteLevelRange.count()];  // "Low", "High"

}  // namespace kvt
