// Tab 6, "表示/非表示": switches the sign's display on or off. The choice is
// taken over into the session's displayOn only by "設定".
#pragma once

#include "editor/page_common.h"

namespace kvt {

class CMyPropertyPage6 : public SettingsPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage6(Session& session);

protected:
    void OnInitDialog() override;

private:
    QComboBox* displayCombo_ = nullptr;
};

}  // namespace kvt
