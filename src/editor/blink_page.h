// Tab 5, "点滅表示の設定": the blink setting of the seven lines of the
// selected page, sent one page at a time or in an all-pages run.
#pragma once

#include "editor/page_common.h"
#include "editor/page_run.h"
#include "settings/panel_settings.h"

namespace kvt {

class CMyPropertyPage5 : public SettingsPage {
    Q_OBJECT
public:
    CMyPropertyPage5(Session& session, RunEngine& engine);

protected:
    void OnInitDialog() override;
    void LoadControls() override;

private:
    QComboBox* combos_[kLineCount] = {};
    PageRunDriver run_;
};

}  // namespace kvt
