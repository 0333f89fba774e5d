#include "settings/panel_settings.h"

namespace kvt {

PanelSettings panelSettings;
int currentPage = 0;
int slaveNo = 0;
int comPortIndex = 0;
int lineMode = 0;
int modified = 0;
std::string fileName;

const char* const kColourNames[9] = {"黒", "赤", "緑", "黄", "青",
                                     "マゼンタ", "シアン", "白", "ブランク"};
const char* const kBlinkNames[5] = {"OFF", "1", "2", "3", "4"};
const char* const kWhiteLevelNames[2] = {"Low", "High"};

void ResetSettings() {
    PanelSettings& s = panelSettings;
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
    fileName.clear();
    currentPage = 0;
    s.sequenceMode = 0;
    modified = 0;
}

namespace {
// The store holds its defaults from the start, before anybody calls
// ResetSettings, so that no field is ever read uninitialised.
struct InitialReset {
    InitialReset() { ResetSettings(); }
} initialReset;
}  // namespace

}  // namespace kvt
