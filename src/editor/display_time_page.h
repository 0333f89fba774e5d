// Tab 8, "表示時間の設定": how many seconds (0..99) the sign shows each page,
// eight pages at a time.
#pragma once

#include "editor/group_page.h"

namespace kvt {

class CMyPropertyPage8 : public GroupPage {
    Q_OBJECT
public:
    explicit CMyPropertyPage8(Session& session);
};

}  // namespace kvt
