// What a live preview shows from moment to moment: the selected page
// standing still, or, while playing, the pages as the sign runs them; and
// the blink of the page on show. Time is given by the caller (milliseconds
// of a monotonic clock), who wakes the timeline at nextWake() and after
// every edit of the store.
#pragma once

#include <cstdint>
#include <optional>

#include "render/page_player.h"

namespace kvt {

class PreviewTimeline {
public:
    // Shows from now: the run of the store when playing, else the selected page.
    void Start(int64_t now, bool playing, const PanelSettings& s, int selectedPage);
    // Catches up with now and with the store.
    void Update(int64_t now, const PanelSettings& s, int selectedPage);

    bool playing() const { return playing_; }
    int page() const { return player_.page(); }  // -1: nothing to show
    bool blinkLit(int64_t now) const;
    // The next moment at which the picture changes by itself: a page
    // change or a blink change of the page on show. None while nothing
    // plays or blinks: then nobody needs to wake.
    std::optional<int64_t> nextWake(int64_t now, const PanelSettings& s) const;

private:
    std::vector<PlayStep> Steps(const PanelSettings& s, int selectedPage) const;

    PagePlayer player_;
    bool playing_ = false;
};

}  // namespace kvt
