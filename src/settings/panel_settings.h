// The settings store: everything the program knows about what the sign shows,
// plus the run-time state that stands beside it. One instance of each exists
// for the whole run of the program.
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

// The store. Written by the settings pages, the settings file and the
// read-back decoders; read by the command builders. All of them run on one
// thread (the window thread, or the command-line tool's main thread).
extern PanelSettings panelSettings;

// Run-time state beside the store.
extern int currentPage;   // 0..31, the selected page; saved in the file
extern int slaveNo;       // 0..31, RS-485 address
extern int comPortIndex;  // 0 COM1, 1 COM2, 2 COM3
extern int lineMode;      // 0 RS-232C, non-zero RS-485
extern int modified;      // 1 when edited since the last reset, open or save
extern std::string fileName;  // path of the settings file, "" when none

// Defaults of a new store: texts empty, white on black, no blink, High,
// 2 s, no fill, positions 8/8, page 1, no sequence, no file, not modified.
// slaveNo, comPortIndex and lineMode are not touched.
void ResetSettings();

// Value lists shown by the settings pages; the stored value is the index.
extern const char* const kColourNames[9];     // "黒" .. "ブランク" (UTF-8)
extern const char* const kBlinkNames[5];      // "OFF", "1" .. "4"
extern const char* const kWhiteLevelNames[2]; // "Low", "High"

}  // namespace kvt
