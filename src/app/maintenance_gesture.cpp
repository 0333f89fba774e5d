#include "app/maintenance_gesture.h"

namespace kvt {

bool MaintenanceGesture::Request(const QPoint& globalPos, bool fromKeyboard) {
    bool inside = fromKeyboard || (globalPos.x() >= 0 && globalPos.x() < kSquare &&
                                   globalPos.y() >= 0 && globalPos.y() < kSquare);
    if (!inside) {
        count_ = 0;
        return false;
    }
    if (++count_ < kRunLength) return false;
    count_ = 0;
    return true;
}

}  // namespace kvt
