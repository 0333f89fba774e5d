#include "editor/colour_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>

#include "protocol/command_set.h"
#include "session/session.h"

namespace kvt {

namespace {

constexpr int kCharIds[kLineCount] = {1014, 1016, 1017, 1018, 1019, 1020, 1021};
constexpr int kEdgeIds[kLineCount] = {1015, 1022, 1024, 1025, 1026, 1027, 1028};

QStringList ColourItems() {
    QStringList items;
    for (const char* name : kColourNames) items << QCoreApplication::translate("kvt::Colour", name);
    return items;
}

}  // namespace

CMyPropertyPage4::CMyPropertyPage4(Session& session, RunEngine& engine)
    : SettingsPage(session, 106, 254, 179), run_(session, engine, RunKind::ColourPages) {
    AddGroup(tr("文字色"), 75, 10, 80, 150);
    AddGroup(tr("縁取り色"), 160, 10, 80, 150);
    const QStringList items = ColourItems();
    for (int k = 0; k < kLineCount; ++k) {
        const QString label = SettingsPage::tr("%1行目").arg(k + 1);
        AddLabel(label, 80, 25 + 20 * k, 18, 8);
        AddLabel(label, 165, 25 + 20 * k, 18, 8);
        charCombos_[k] = AddCombo(kCharIds[k], items, 100, 20 + 20 * k, 48);
        edgeCombos_[k] = AddCombo(kEdgeIds[k], items, 185, 20 + 20 * k, 48);
        connect(charCombos_[k], &QComboBox::activated, this, [this, k](int index) {
            if (!ValidPage(session_.currentPage)) return;
            session_.panelSettings.charColor[session_.currentPage][k] = index;
            session_.modified = 1;
        });
        connect(edgeCombos_[k], &QComboBox::activated, this, [this, k](int index) {
            if (!ValidPage(session_.currentPage)) return;
            session_.panelSettings.edgeColor[session_.currentPage][k] = index;
            session_.modified = 1;
        });
    }
    AddPageNoGroup(5, 10, 10, 25);
    AddSlaveNoGroup(5, 65, 10, 80);
    connect(AddButton(1010, SettingsPage::tr("設定"), 10, 120, 50, 14), &QPushButton::clicked, this,
            [this] {
                PrepareSend(true, true);
                // "Miss! Can't Set" is shown there.
                session_.Dispatch(BuildColourPage(session_.panelSettings, session_.currentPage));
            });
    connect(AddButton(1023, SettingsPage::tr("全Page設定"), 10, 150, 50, 14),
            &QPushButton::clicked, this, [this] { run_.Start(); });
    run_.Attach(this, slaveCombo_, AddNumberBox(1030, 60, 150, 15, 14));
}

void CMyPropertyPage4::OnInitDialog() {
    InitCommonCombos();
    LoadControls();
}

void CMyPropertyPage4::LoadControls() {
    const int page = session_.currentPage;
    if (!ValidPage(page)) return;
    for (int k = 0; k < kLineCount; ++k) {
        SelectItem(charCombos_[k], session_.panelSettings.charColor[page][k]);
        SelectItem(edgeCombos_[k], session_.panelSettings.edgeColor[page][k]);
    }
}

}  // namespace kvt
