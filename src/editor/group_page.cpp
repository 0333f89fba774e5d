#include "editor/group_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "session/session.h"

namespace kvt {

GroupPage::GroupPage(Session& session, const Layout& layout)
    : SettingsPage(session, layout.dialogId, 159, 195), values_(layout.values) {
    AddGroup(layout.groupTitle, 5, 10, 70, 175);
    AddGroup(QStringLiteral("Page change"), 85, 60, 60, 40);
    for (int k = 0; k < kRows; ++k) {
        numbers_[k] = AddNumberBox(1032 + k, 15, 25 + 20 * k, 15, 14);
        combos_[k] = AddCombo(layout.firstComboId + k, layout.items, 30, 25 + 20 * k, 35);
        connect(combos_[k], &QComboBox::activated, this,
                [this, k](int index) { StoreRow(k, index); });
    }
    AddSlaveNoGroup(85, 10, 90, 25);
    groupCombo_ = AddCombo(1040,
                           {tr("P 1～8"), tr("P 9～16"),
                            tr("P17～24"), tr("P25～32")},
                           90, 75, 48);
    connect(groupCombo_, &QComboBox::activated, this, [this](int index) {
        session_.pageGroup = index;
        LoadControls();
    });
    Command (*build)(const PanelSettings&) = layout.build;
    connect(AddButton(1010, SettingsPage::tr("設定"), 90, 115, 50, 14), &QPushButton::clicked, this,
            [this, build] {
                PrepareSend(false, true);
                session_.Dispatch(build(session_.panelSettings));
            });
}

void GroupPage::OnInitDialog() {
    InitCommonCombos();
    LoadControls();
}

int* GroupPage::Values() { return session_.panelSettings.*values_; }

void GroupPage::LoadControls() {
    for (int k = 0; k < kRows; ++k) {
        const int page = session_.pageGroup * kRows + k;
        numbers_[k]->setText(QString::number(page + 1));
        SelectItem(combos_[k], Values()[page]);
    }
    SelectItem(groupCombo_, session_.pageGroup);
}

// Stored for the group chosen last on either group page, which may not be
// the one this page still shows.
void GroupPage::StoreRow(int row, int index) {
    Values()[session_.pageGroup * kRows + row] = index;
    session_.modified = 1;
}

}  // namespace kvt
