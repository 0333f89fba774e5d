// The maintenance gesture that opens the read-back: a run of context-menu
// requests inside a small square at the screen's top-left corner.
#pragma once

#include <QPoint>

namespace kvt {

class MaintenanceGesture {
public:
    static constexpr int kRunLength = 5;
    static constexpr int kSquare = 16;  // pixels, from the screen's origin

    // One context-menu request at the screen position globalPos; a request
    // from the keyboard carries no position and counts as inside. True when
    // this request completes the run (which then starts over).
    bool Request(const QPoint& globalPos, bool fromKeyboard);
    int count() const { return count_; }

private:
    int count_ = 0;
};

}  // namespace kvt
