// The pages that show one value per page for eight pages at a time, the
// group chosen in "Page change" (white level, display time). The group is
// the session's pageGroup, shared by both pages and kept after the sheet
// closes; "設定" sends all 32 pages in one command.
#pragma once

#include <QStringList>

#include "editor/page_common.h"
#include "protocol/command_set.h"
#include "settings/panel_settings.h"

namespace kvt {

class GroupPage : public SettingsPage {
    Q_OBJECT
public:
    struct Layout {
        int dialogId;
        QString groupTitle;
        QStringList items;
        int firstComboId;                      // row k's combo is firstComboId + k
        int (PanelSettings::*values)[kPageCount];  // the store field edited
        Command (*build)(const PanelSettings&);    // the command of all 32 pages
    };
    GroupPage(Session& session, const Layout& layout);

protected:
    void OnInitDialog() override;
    void LoadControls() override;

private:
    static constexpr int kRows = 8;
    void StoreRow(int row, int index);

    int* Values();

    int (PanelSettings::*values_)[kPageCount];
    QLineEdit* numbers_[kRows] = {};
    QComboBox* combos_[kRows] = {};
    QComboBox* groupCombo_ = nullptr;
};

}  // namespace kvt
