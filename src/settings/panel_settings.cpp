#include "settings/panel_settings.h"

#include "settings/translatable.h"

namespace kvt {

// Translated where the window program offers them as choices.
const char* const kColourNames[kColourRange.count()] = {
    QT_TRANSLATE_NOOP("kvt::Colour", "黒"),       QT_TRANSLATE_NOOP("kvt::Colour", "赤"),
    QT_TRANSLATE_NOOP("kvt::Colour", "緑"),       QT_TRANSLATE_NOOP("kvt::Colour", "黄"),
    QT_TRANSLATE_NOOP("kvt::Colour", "青"),       QT_TRANSLATE_NOOP("kvt::Colour", "マゼンタ"),
    QT_TRANSLATE_NOOP("kvt::Colour", "シアン"),   QT_TRANSLATE_NOOP("kvt::Colour", "白"),
    QT_TRANSLATE_NOOP("kvt::Colour", "ブランク")};
const char* const kBlinkNames[kBlinkRange.count()] = {"OFF", "1", "2", "3", "4"};
const char* const kWhiteLevelNames[kWhiteLevelRange.count()] = {"Low", "High"};

std::string RangeText(ValueRange range) {
    return std::to_string(range.low) + ".." + std::to_string(range.high);
}

void ResetPanelSettings(PanelSettings* settings) {
    PanelSettings& s = *settings;
    for (int p = 0; p < kPageCount; ++p) {
        s.whiteLevel[p] = 1;
        s.displayTime[p] = 2;
        s.fillMask[p] = 0;
        for (int k = 0; k < kLineCount; ++k) {
            s.blinkMode[p][k] = 0;
            s.charColor[p][k] = 7;
            s.edgeColor[p][k] = 0;
            s.lineText[p][k].clear();
        }
    }
    s.vPosition = 8;
    s.hPosition = 8;
    s.sequenceMode = 0;
}

}  // namespace kvt
