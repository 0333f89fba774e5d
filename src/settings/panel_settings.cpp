#include "settings/panel_settings.h"

namespace kvt {

const char* const kColourNames[9] = {"黒", "赤", "緑", "黄", "青",
                                     "マゼンタ", "シアン", "白", "ブランク"};
const char* const kBlinkNames[5] = {"OFF", "1", "2", "3", "4"};
const char* const kWhiteLevelNames[2] = {"Low", "High"};

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
