#include "editor/fill_border_page.h"

#include <QCheckBox>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"

namespace kvt {

namespace {
// Check box ids of lines 1..7; lines 3 and 4 have their ids swapped.
constexpr int kBoxIds[kLineCount] = {1012, 1013, 1015, 1014, 1016, 1017, 1018};
}  // namespace

CMyPropertyPage2::CMyPropertyPage2(Session& session) : SettingsPage(session, 104, 183, 195) {
    AddGroup(QStringLiteral("Fill bordering"), 5, 5, 60, 155);
    for (int k = 0; k < kLineCount; ++k) {
        auto* box = new QCheckBox(SettingsPage::tr("%1行目").arg(k + 1), this);
        box->setObjectName(QString::number(kBoxIds[k]));
        box->setGeometry(Du(15, 20 * (k + 1), 33, 10));
        connect(box, &QCheckBox::clicked, this, [this, k] { StoreLine(k); });
        boxes_[k] = box;
    }
    AddPageNoGroup(110, 5, 115, 20);
    AddSlaveNoGroup(110, 55, 115, 70);
    connect(AddButton(1010, SettingsPage::tr("設定"), 115, 120, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(true, true);
                session_.Dispatch(
                    BuildFillBorderPage(session_.panelSettings, session_.currentPage));
            });
    // One command holding all 32 pages: no run, the Page No. is not read.
    connect(AddButton(1023, SettingsPage::tr("全Page設定"), 115, 150, 50, 14),
            &QPushButton::clicked, this, [this] {
                PrepareSend(false, true);
                session_.Dispatch(BuildFillBorderAll(session_.panelSettings));
            });
}

void CMyPropertyPage2::OnInitDialog() {
    InitCommonCombos();
    LoadControls();
}

void CMyPropertyPage2::LoadControls() {
    if (!ValidPage(session_.currentPage)) return;
    const int mask = session_.panelSettings.fillMask[session_.currentPage];
    for (int k = 0; k < kLineCount; ++k) boxes_[k]->setChecked((mask >> k) & 1);
}

void CMyPropertyPage2::StoreLine(int line) {
    if (!ValidPage(session_.currentPage)) return;
    int& mask = session_.panelSettings.fillMask[session_.currentPage];
    if (boxes_[line]->isChecked())
        mask |= 1 << line;
    else
        mask &= ~(1 << line);
    session_.modified = 1;
}

}  // namespace kvt
