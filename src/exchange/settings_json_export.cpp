// Writing the JSON form of a settings file.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "exchange/settings_json.h"
#include "settings/cp932.h"

namespace kvt {

namespace {

// The name where the value has one, the bare number otherwise.
QJsonValue NamedValue(const char* const* names, int count, int value) {
    if (value >= 0 && value < count) return QString::fromUtf8(names[value]);
    return value;
}

// The filled lines as a list; a mask with bits beyond the seven lines stays
// a number.
QJsonValue FillValue(int mask) {
    if (mask < 0 || mask > 0x7F) return mask;
    QJsonArray lines;
    for (int k = 0; k < kLineCount; ++k)
        if (mask & (1 << k)) lines.append(k + 1);
    return lines;
}

QJsonObject LineObject(const PanelSettings& s, int p, int k) {
    QJsonObject line;
    line["line"] = k + 1;
    line["text"] = QString::fromStdString(Cp932ToUtf8(s.lineText[p][k]));
    line["charColour"] = s.charColor[p][k];
    line["borderColour"] = s.edgeColor[p][k];
    line["blink"] = s.blinkMode[p][k];
    return line;
}

QJsonObject PageObject(const PanelSettings& s, int p) {
    QJsonObject page;
    page["page"] = p + 1;
    page["whiteLevel"] = NamedValue(kWhiteLevelNames, kWhiteLevelRange.count(), s.whiteLevel[p]);
    page["displayTime"] = s.displayTime[p];
    page["fill"] = FillValue(s.fillMask[p]);
    QJsonArray lines;
    for (int k = 0; k < kLineCount; ++k) lines.append(LineObject(s, p, k));
    page["lines"] = lines;
    return page;
}

}  // namespace

std::string SettingsToJson(const PanelSettings& s, int currentPage) {
    QJsonObject root;
    root["format"] = "kvt540m-settings";
    root["version"] = 1;
    root["selectedPage"] = static_cast<qint64>(currentPage) + 1;
    if (s.sequenceMode == 0 || s.sequenceMode == 1)
        root["sequence"] = s.sequenceMode == 1;
    else
        root["sequence"] = s.sequenceMode;
    root["hPosition"] = s.hPosition;
    root["vPosition"] = s.vPosition;
    QJsonArray pages;
    for (int p = 0; p < kPageCount; ++p) pages.append(PageObject(s, p));
    root["pages"] = pages;
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace kvt
