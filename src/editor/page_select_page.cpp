#include "editor/page_select_page.h"

#include <QComboBox>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"
#include "settings/panel_settings.h"

namespace kvt {

namespace {
constexpr int kSequenceItem = kPageCount;  // after "01".."32"
}

CMyPropertyPage7::CMyPropertyPage7(Session& session) : SettingsPage(session, 109, 183, 145) {
    AddGroup(QStringLiteral("PageNo."), 10, 10, 60, 40);
    shownCombo_ = AddCombo(1017, TwoDigitItems(1, kPageCount) << QStringLiteral("Sequence"), 15,
                           25, 48);
    connect(shownCombo_, &QComboBox::activated, this, [this](int index) {
        const bool sequence = index == kSequenceItem;
        session_.panelSettings.sequenceMode = sequence ? 1 : 0;
        session_.currentPage = sequence ? 0 : index;
        session_.modified = 1;
    });
    AddSlaveNoGroup(80, 10, 85, 25);
    // Built from the store, which the combo has already written.
    connect(AddButton(1010, SettingsPage::tr("設定"), 85, 80, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(false, true);
                session_.Dispatch(BuildPageSelect(session_.panelSettings, session_.currentPage));
            });
}

void CMyPropertyPage7::OnInitDialog() {
    InitCommonCombos();
    SelectItem(shownCombo_,
               session_.panelSettings.sequenceMode != 0 ? kSequenceItem : session_.currentPage);
}

}  // namespace kvt
