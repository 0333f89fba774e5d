// Tab 3, "文字レベルの設定": the white level ("Low"/"High") of every page,
// eight pages at a time.
#pragma once

#include "editor/group_page.h"

namespace kvt {

class CMyPropertyPage3 : public GroupPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage3(Session& session);
};

}  // namespace kvt
