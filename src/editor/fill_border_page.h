// Tab 2, "文字背景色ベタ塗りの設定": the fill bordering of each line of the
// selected page (the seven low bits of fillMask).
#pragma once

#include "editor/page_common.h"
#include "settings/panel_settings.h"

class QCheckBox;

namespace kvt {

class CMyPropertyPage2 : public SettingsPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage2(Session& session);

protected:
    void OnInitDialog() override;
    void LoadControls() override;

private:
    void StoreLine(int line);

    QCheckBox* boxes_[kLineCount] = {};
};

}  // namespace kvt
