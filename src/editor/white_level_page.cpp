#include "editor/white_level_page.h"

#include "protocol/command_set.h"

namespace kvt {

CMyPropertyPage3::CMyPropertyPage3(Session& session)
    : GroupPage(session, {105, QStringLiteral("White level"),
                 {QString::fromUtf8(kWhiteLevelNames[0]), QString::fromUtf8(kWhiteLevelNames[1])},
                 1013, &PanelSettings::whiteLevel, &BuildWhiteLevelAll}) {}

}  // namespace kvt
