// Tab 7, "表示ページの設定": the page the sign shows, or "Sequence". A choice
// moves the session's currentPage (and sequenceMode) at once.
#pragma once

#include "editor/page_common.h"

namespace kvt {

class CMyPropertyPage7 : public SettingsPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage7(Session& session);

protected:
    void OnInitDialog() override;

private:
    QComboBox* shownCombo_ = nullptr;
};

}  // namespace kvt
