// Tab 1, "情報（タイトル）の設定": the seven line texts of the selected page.
#pragma once

#include "editor/line_byte_validator.h"
#include "editor/page_common.h"
#include "editor/page_run.h"
#include "settings/panel_settings.h"

namespace kvt {

class CMyPropertyPage1 : public SettingsPage {
    Q_OBJECT
public:
    CMyPropertyPage1(Session& session, RunEngine& engine);
    // Refused while a line is longer than 28 bytes (it came from a file):
    // that line is focused with its excess selected.
    bool CanLeave() override;

protected:
    void OnInitDialog() override;
    void LoadControls() override;

private:
    void StoreTypedLine(int line);
    void SendPage(char storeLetter);

    QLineEdit* lines_[kLineCount] = {};
    LineByteValidator* validators_[kLineCount] = {};
    PageRunDriver run_;
};

}  // namespace kvt
