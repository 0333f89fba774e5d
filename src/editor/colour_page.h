// Tab 4, "文字色の設定": the character and border colours of the seven lines
// of the selected page, sent one page at a time or in an all-pages run.
#pragma once

#include "editor/page_common.h"
#include "editor/page_run.h"
#include "settings/panel_settings.h"

namespace kvt {

class CMyPropertyPage4 : public SettingsPage {
    Q_OBJECT
public:
    CMyPropertyPage4(Session& session, RunEngine& engine);

protected:
    void OnInitDialog() override;
    void LoadControls() override;

private:
    QComboBox* charCombos_[kLineCount] = {};
    QComboBox* edgeCombos_[kLineCount] = {};
    PageRunDriver run_;
};

}  // namespace kvt
