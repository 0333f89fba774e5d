#include "render/page_player.h"

#include "render/dot_page.h"

namespace kvt {

namespace {

// The step showing page, or the first step after it (wrapping round).
size_t StepAtOrAfter(const std::vector<PlayStep>& steps, int page) {
    for (size_t i = 0; i < steps.size(); ++i)
        if (steps[i].page >= page) return i;
    return 0;
}

// One round of the steps; 0 when a step has no end.
int64_t CycleMs(const std::vector<PlayStep>& steps) {
    int64_t total = 0;
    for (const PlayStep& step : steps) {
        if (step.durationMs <= 0) return 0;
        total += step.durationMs;
    }
    return total;
}

}  // namespace

std::vector<PlayStep> PlaySteps(const PanelSettings& s, int selectedPage) {
    if (s.sequenceMode == 0) return {{selectedPage, 0}};
    std::vector<PlayStep> steps;
    for (int p = 0; p < kPageCount; ++p)
        if (s.displayTime[p] > 0 && !PageIsEmpty(s, p))
            steps.push_back({p, s.displayTime[p] * int64_t{1000}});
    return steps;
}

void PagePlayer::Start(int64_t now, const std::vector<PlayStep>& steps) {
    page_ = -1;
    since_ = now;
    Update(now, steps);
}

void PagePlayer::Update(int64_t now, const std::vector<PlayStep>& steps) {
    if (steps.empty()) {
        page_ = -1;
        duration_ = 0;
        return;
    }
    size_t i = StepAtOrAfter(steps, page_);
    if (steps[i].page != page_) {
        page_ = steps[i].page;
        since_ = now;
    }
    duration_ = steps[i].durationMs;
    if (duration_ == 0) return;
    // Whole rounds missed (a clock that jumped) bring the same page back.
    const int64_t cycle = CycleMs(steps);
    if (cycle > 0 && now - since_ >= cycle) since_ += (now - since_) / cycle * cycle;
    while (duration_ > 0 && now >= since_ + duration_) {
        since_ += duration_;
        i = (i + 1) % steps.size();
        page_ = steps[i].page;
        duration_ = steps[i].durationMs;
    }
}

std::optional<int64_t> PagePlayer::nextChange() const {
    if (page_ < 0 || duration_ == 0) return std::nullopt;
    return since_ + duration_;
}

}  // namespace kvt
