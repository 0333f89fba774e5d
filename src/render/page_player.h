// The order and times in which the sign shows its pages, on a clock the
// caller gives (milliseconds of any monotonic clock), so that a run can be
// followed in real time or on a virtual clock alike.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "settings/panel_settings.h"

namespace kvt {

struct PlayStep {
    int page;            // 0..31
    int64_t durationMs;  // 0: shown until the run stops
};

// The run of the store. Single-page mode: the selected page, with no end.
// Sequence mode: the pages with content (PageIsEmpty false) and a display
// time above 0, page 1 first, each for its display time, over and over; a
// page of 0 seconds is never on. Empty when no page qualifies.
std::vector<PlayStep> PlaySteps(const PanelSettings& s, int selectedPage);

class PagePlayer {
public:
    // The first step comes on at now.
    void Start(int64_t now, const std::vector<PlayStep>& steps);
    // Catches up with now: every step that has ended by now gives way to the
    // next. The steps are read afresh at each call, so edits count at once:
    // the page on show keeps its start and takes its new time; a page that
    // has left the run gives way to the next page after it, from now.
    void Update(int64_t now, const std::vector<PlayStep>& steps);

    int page() const { return page_; }  // -1: nothing to show
    int64_t shownSince() const { return since_; }
    // When the page on show gives way; none when it stays.
    std::optional<int64_t> nextChange() const;

private:
    int page_ = -1;
    int64_t since_ = 0;
    int64_t duration_ = 0;
};

}  // namespace kvt
