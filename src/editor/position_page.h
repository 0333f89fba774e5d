// Tab 9, "表示位置微調整": the horizontal and vertical position trims, each
// sent by its own "設定".
#pragma once

#include "editor/page_common.h"

namespace kvt {

class CMyPropertyPage9 : public SettingsPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage9(Session& session);

protected:
    void OnInitDialog() override;

private:
    QComboBox* hCombo_ = nullptr;
    QComboBox* vCombo_ = nullptr;
};

}  // namespace kvt
