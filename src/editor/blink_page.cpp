#include "editor/blink_page.h"

#include <QComboBox>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"

namespace kvt {

CMyPropertyPage5::CMyPropertyPage5(Session& session, RunEngine& engine)
    : SettingsPage(session, 107, 183, 179), run_(session, engine, RunKind::BlinkPages) {
    AddGroup(QStringLiteral("Blink display"), 80, 10, 85, 155);
    QStringList items;
    for (const char* name : kBlinkNames) items << QString::fromUtf8(name);
    for (int k = 0; k < kLineCount; ++k) {
        AddLabel(SettingsPage::tr("%1行目").arg(k + 1), 85, 25 + 20 * k, 18, 8);
        combos_[k] = AddCombo(1015 + k, items, 110, 20 + 20 * k, 48);
        connect(combos_[k], &QComboBox::activated, this, [this, k](int index) {
            if (!ValidPage(session_.currentPage)) return;
            session_.panelSettings.blinkMode[session_.currentPage][k] = index;
            session_.modified = 1;
        });
    }
    AddPageNoGroup(5, 10, 10, 25);
    AddSlaveNoGroup(5, 65, 10, 85);
    connect(AddButton(1010, SettingsPage::tr("設定"), 10, 120, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(true, true);
                session_.Dispatch(BuildBlinkPage(session_.panelSettings, session_.currentPage));
            });
    connect(AddButton(1023, SettingsPage::tr("全Page設定"), 10, 150, 50, 14),
            &QPushButton::clicked, this, [this] { run_.Start(); });
    run_.Attach(this, slaveCombo_, AddNumberBox(1031, 60, 150, 15, 14));
}

void CMyPropertyPage5::OnInitDialog() {
    InitCommonCombos();
    LoadControls();
}

void CMyPropertyPage5::LoadControls() {
    if (!ValidPage(session_.currentPage)) return;
    for (int k = 0; k < kLineCount; ++k)
        SelectItem(combos_[k], session_.panelSettings.blinkMode[session_.currentPage][k]);
}

}  // namespace kvt
