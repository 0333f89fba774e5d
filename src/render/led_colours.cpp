#include "render/led_colours.h"

namespace kvt {

namespace {

// Index: "黒", "赤", "緑", "黄", "青", "マゼンタ", "シアン", "白".
constexpr QRgb kLedRgb[kBlankColour] = {
    qRgb(40, 40, 40),     // 黒: a dark diode, just visible on the panel
    qRgb(255, 0, 0),      // 赤
    qRgb(0, 255, 0),      // 緑
    qRgb(255, 255, 0),    // 黄: red + green
    qRgb(0, 0, 255),      // 青
    qRgb(255, 0, 255),    // マゼンタ: red + blue
    qRgb(0, 255, 255),    // シアン: green + blue
    qRgb(255, 255, 255),  // 白: all three
};

int Half(int channel) { return (channel + 1) / 2; }

}  // namespace

bool Drawn(int colour) { return colour >= 0 && colour < kBlankColour; }

QRgb LedRgb(int colour, int whiteLevel) {
    if (!Drawn(colour)) colour = kBlackColour;
    const QRgb rgb = kLedRgb[colour];
    if (whiteLevel != 0 || colour == kBlackColour) return rgb;
    return qRgb(Half(qRed(rgb)), Half(qGreen(rgb)), Half(qBlue(rgb)));
}

}  // namespace kvt
