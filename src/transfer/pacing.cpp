#include "transfer/pacing.h"

namespace kvt {

Millis TimedPeriodMs(RunKind kind, int step) {
    switch (kind) {
    case RunKind::AllItems:
        // The texts at 500 ms; from the step after 33 on, 200 ms.
        return step < kAllItemsRearmStep ? 500 : 200;
    case RunKind::ReadBack:
    case RunKind::TextPages: return 500;
    case RunKind::ColourPages:
    case RunKind::BlinkPages: return 200;
    }
    return 500;
}

}  // namespace kvt
