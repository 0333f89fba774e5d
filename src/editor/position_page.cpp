#include "editor/position_page.h"

#include <QComboBox>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"
#include "settings/panel_settings.h"

namespace kvt {

CMyPropertyPage9::CMyPropertyPage9(Session& session) : SettingsPage(session, 111, 194, 155) {
    AddGroup(QStringLiteral("Horizontal"), 5, 10, 60, 65);
    AddGroup(QStringLiteral("Vertical"), 75, 10, 60, 65);
    const QStringList steps = TwoDigitItems(kPositionRange.low, kPositionRange.count());
    hCombo_ = AddCombo(1021, steps, 10, 25, 48);
    vCombo_ = AddCombo(1023, steps, 80, 25, 48);
    connect(hCombo_, &QComboBox::activated, this, [this](int index) {
        session_.panelSettings.hPosition = index;
        session_.modified = 1;
    });
    connect(vCombo_, &QComboBox::activated, this, [this](int index) {
        session_.panelSettings.vPosition = index;
        session_.modified = 1;
    });
    connect(AddButton(1022, SettingsPage::tr("設定"), 10, 50, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(false, true);
                CopySelection(hCombo_, &session_.panelSettings.hPosition);
                session_.Dispatch(BuildHPosition(session_.panelSettings));
            });
    connect(AddButton(1024, SettingsPage::tr("設定"), 80, 50, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(false, true);
                CopySelection(vCombo_, &session_.panelSettings.vPosition);
                session_.Dispatch(BuildVPosition(session_.panelSettings));
            });
    AddSlaveNoGroup(5, 90, 10, 105);
}

void CMyPropertyPage9::OnInitDialog() {
    InitCommonCombos();
    SelectItem(hCombo_, session_.panelSettings.hPosition);
    SelectItem(vCombo_, session_.panelSettings.vPosition);
}

}  // namespace kvt
