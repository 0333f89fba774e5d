#include "editor/display_on_off_page.h"

#include <QComboBox>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"

namespace kvt {

CMyPropertyPage6::CMyPropertyPage6(Session& session) : SettingsPage(session, 108, 183, 149) {
    AddGroup(QStringLiteral("Display"), 10, 10, 60, 40);
    displayCombo_ =
        AddCombo(1016, {tr("非表示"), tr("表示")}, 15, 25, 48);
    AddSlaveNoGroup(80, 10, 85, 25);
    connect(AddButton(1010, SettingsPage::tr("設定"), 85, 80, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(false, true);
                CopySelection(displayCombo_, &session_.displayOn);
                session_.Dispatch(BuildDisplayOnOff(session_.displayOn));
            });
}

void CMyPropertyPage6::OnInitDialog() {
    InitCommonCombos();
    SelectItem(displayCombo_, session_.displayOn);
}

}  // namespace kvt
