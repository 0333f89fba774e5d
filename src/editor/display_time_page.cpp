#include "editor/display_time_page.h"

#include "protocol/command_set.h"

namespace kvt {

namespace {
// " 0" .. " 9", then "10" .. "99": item index = seconds.
QStringList SecondItems() {
    QStringList items;
    for (int s = kDisplayTimeRange.low; s <= kDisplayTimeRange.high; ++s)
        items << QStringLiteral("%1").arg(s, 2);
    return items;
}
}  // namespace

CMyPropertyPage8::CMyPropertyPage8(Session& session)
    : GroupPage(session, {110, QStringLiteral("Time(Second)"), SecondItems(), 1018,
                 &PanelSettings::displayTime, &BuildDisplayTimeAll}) {}

}  // namespace kvt
