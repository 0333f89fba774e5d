#include "render/preview_timeline.h"

#include <algorithm>

#include "render/blink.h"

namespace kvt {

std::vector<PlayStep> PreviewTimeline::Steps(const PanelSettings& s, int selectedPage) const {
    if (playing_) return PlaySteps(s, selectedPage);
    return {{selectedPage, 0}};
}

void PreviewTimeline::Start(int64_t now, bool playing, const PanelSettings& s, int selectedPage) {
    playing_ = playing;
    player_.Start(now, Steps(s, selectedPage));
}

void PreviewTimeline::Update(int64_t now, const PanelSettings& s, int selectedPage) {
    player_.Update(now, Steps(s, selectedPage));
}

bool PreviewTimeline::blinkLit(int64_t now) const {
    return BlinkLit(std::max<int64_t>(0, now - player_.shownSince()));
}

std::optional<int64_t> PreviewTimeline::nextWake(int64_t now, const PanelSettings& s) const {
    std::optional<int64_t> wake = player_.nextChange();
    if (PageBlinks(s, page())) {
        const int64_t since = player_.shownSince();
        const int64_t blink = since + NextBlinkChange(std::max<int64_t>(0, now - since));
        wake = wake ? std::min(*wake, blink) : blink;
    }
    return wake;
}

}  // namespace kvt
