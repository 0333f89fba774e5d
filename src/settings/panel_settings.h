// The settings store: everything the program knows about what one sign shows.
// A session (session/session.h) holds one, with the run-time state beside it.
#pragma once

#include <string>

namespace kvt {

constexpr int kPageCount = 32;  // pages 0..31, "01".."32" on screen and wire
constexpr int kLineCount = 7;   // lines 0..6, "1行目".."7行目"

struct PanelSettings {
    // Line texts are code-page-932 byte strings (at most 28 bytes when typed,
    // up to 33 bytes from a settings file).
    std::string lineText[kPageCount][kLineCount];
    int charColor[kPageCount][kLineCount];   // colour index 0..8
    int edgeColor[kPageCount][kLineCount];   // colour index 0..8
    int blinkMode[kPageCount][kLineCount];   // 0 off, 1..4
    int fillMask[kPageCount];                // bit k = line k filled
    int whiteLevel[kPageCount];              // 0 Low, 1 High
    int displayTime[kPageCount];             // seconds 0..99
    int sequenceMode;                        // 1: pages in sequence
    int hPosition;                           // 0..15
    int vPosition;                           // 0..15
};

// Defaults of a new store: texts empty, white on black, no blink, High,
// 2 s, no fill, positions 8/8, no sequence.
void ResetPanelSettings(PanelSettings* settings);

// Value lists shown by the settings pages; the stored value is the index.
extern const char* const kColourNames[9];     // "黒" .. "ブランク" (UTF-8)
extern const char* const kBlinkNames[5];      // "OFF", "1" .. "4"
extern const char* const kWhiteLevelNames[2]; // "Low", "High"

}  // namespace kvt
