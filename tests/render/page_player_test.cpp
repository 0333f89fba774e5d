// The timing of pictures on a virtual clock: the blink, the run of the
// pages in sequence mode, and when a live preview needs to wake at all.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "render/blink.h"
#include "render/preview_timeline.h"

using namespace kvt;

namespace {

PanelSettings Defaults() {
    PanelSettings settings;
    ResetPanelSettings(&settings);
    return settings;
}

// Pages 1, 2 and 3 hold text and show for 1, 2 and 3 seconds; sequence mode.
PanelSettings ThreePageSequence() {
    PanelSettings s = Defaults();
    for (int p = 0; p < 3; ++p) {
        s.lineText[p][0] = "P" + std::to_string(p + 1);
        s.displayTime[p] = p + 1;
    }
    s.sequenceMode = 1;
    return s;
}

TEST(Blink, HalfASecondLitThenHalfASecondDark) {
    EXPECT_TRUE(BlinkLit(0));
    EXPECT_TRUE(BlinkLit(499));
    EXPECT_FALSE(BlinkLit(500));
    EXPECT_FALSE(BlinkLit(999));
    EXPECT_TRUE(BlinkLit(1000));
    EXPECT_EQ(NextBlinkChange(0), 500);
    EXPECT_EQ(NextBlinkChange(499), 500);
    EXPECT_EQ(NextBlinkChange(500), 1000);
}

TEST(PlaySteps, SequenceTakesPagesWithContentAndTimeInOrder) {
    PanelSettings s = Defaults();
    s.lineText[4][6] = "x";
    s.displayTime[4] = 3;
    s.fillMask[1] = 1 << 2;  // a filled line without text shows
    s.displayTime[1] = 1;
    s.lineText[7][0] = "y";  // 0 seconds: never on
    s.displayTime[7] = 0;
    s.displayTime[9] = 5;    // empty
    s.fillMask[11] = 1 << 7; // a bit of no line
    EXPECT_EQ(PlaySteps(s, 4).size(), 1u);
    EXPECT_EQ(PlaySteps(s, 4)[0].page, 4);
    EXPECT_EQ(PlaySteps(s, 4)[0].durationMs, 0);  // single page: no end

    s.sequenceMode = 1;
    const std::vector<PlayStep> steps = PlaySteps(s, 4);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].page, 1);
    EXPECT_EQ(steps[0].durationMs, 1000);
    EXPECT_EQ(steps[1].page, 4);
    EXPECT_EQ(steps[1].durationMs, 3000);
    EXPECT_TRUE(PlaySteps(Defaults(), 0).size() == 1);
    PanelSettings empty = Defaults();
    empty.sequenceMode = 1;
    EXPECT_TRUE(PlaySteps(empty, 0).empty());
}

// (time since start, page) at the start and at every page change up to endMs.
std::vector<std::pair<int64_t, int>> Follow(PagePlayer& player, const PanelSettings& s,
                                            int64_t start, int64_t endMs) {
    std::vector<std::pair<int64_t, int>> shown{{0, player.page()}};
    while (auto next = player.nextChange()) {
        if (*next - start > endMs) break;
        player.Update(*next, PlaySteps(s, 0));
        shown.push_back({*next - start, player.page()});
    }
    return shown;
}

TEST(PagePlayer, ThreePagesRunInOrderEachForItsTime) {
    const PanelSettings s = ThreePageSequence();
    PagePlayer player;
    const int64_t start = 123456;
    player.Start(start, PlaySteps(s, 0));
    const std::vector<std::pair<int64_t, int>> expected = {
        {0, 0}, {1000, 1}, {3000, 2}, {6000, 0}, {7000, 1}, {9000, 2}, {12000, 0}};
    EXPECT_EQ(Follow(player, s, start, 12000), expected);
}

TEST(PagePlayer, EditsCountAtOnce) {
    PanelSettings s = ThreePageSequence();
    PagePlayer player;
    player.Start(0, PlaySteps(s, 0));
    player.Update(1500, PlaySteps(s, 0));
    ASSERT_EQ(player.page(), 1);
    // A longer time for the page on show: it stays, counted from its start.
    s.displayTime[1] = 5;
    player.Update(1600, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), 1);
    EXPECT_EQ(player.nextChange(), std::optional<int64_t>(6000));
    // A shorter one that has already run out: the next page, from then.
    s.displayTime[1] = 1;
    player.Update(2500, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), 2);
    EXPECT_EQ(player.shownSince(), 2000);
    // The page on show leaves the run: the next one comes on now.
    s.lineText[2][0].clear();
    player.Update(2600, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), 0);
    EXPECT_EQ(player.shownSince(), 2600);
    // Nothing left to show, then a page again.
    s.displayTime[0] = s.displayTime[1] = 0;
    player.Update(2700, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), -1);
    EXPECT_FALSE(player.nextChange());
    s.displayTime[1] = 2;
    player.Update(2800, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), 1);
    EXPECT_EQ(player.nextChange(), std::optional<int64_t>(4800));
}

TEST(PagePlayer, AClockThatJumpsLandsWhereTheRunWouldBe) {
    const PanelSettings s = ThreePageSequence();
    PagePlayer player;
    player.Start(0, PlaySteps(s, 0));
    const int64_t hour = 3600 * 1000;  // 600 rounds of 6 s
    player.Update(hour + 4500, PlaySteps(s, 0));
    EXPECT_EQ(player.page(), 2);
    EXPECT_EQ(player.shownSince(), hour + 3000);
}

// The times (since start) at which the timeline asks to be woken within
// lengthMs, each followed by an Update as the preview does.
std::vector<int64_t> Wakes(PreviewTimeline& timeline, const PanelSettings& s, int selectedPage,
                           int64_t start, int64_t lengthMs) {
    std::vector<int64_t> wakes;
    int64_t now = start;
    while (auto wake = timeline.nextWake(now, s)) {
        if (*wake - start > lengthMs) break;
        EXPECT_GT(*wake, now);
        now = *wake;
        wakes.push_back(now - start);
        timeline.Update(now, s, selectedPage);
    }
    return wakes;
}

TEST(PreviewTimeline, AStillPageWithoutBlinkNeverWakes) {
    PanelSettings s = Defaults();
    s.lineText[2][0] = "x";
    s.blinkMode[2][1] = 1;  // a blinking line without content changes nothing
    PreviewTimeline timeline;
    timeline.Start(5000, false, s, 2);
    EXPECT_EQ(timeline.page(), 2);
    EXPECT_TRUE(Wakes(timeline, s, 2, 5000, 10000).empty());
    // Sequence mode, not playing: the selected page stands still too.
    PanelSettings sequence = ThreePageSequence();
    timeline.Start(5000, false, sequence, 0);
    EXPECT_TRUE(Wakes(timeline, sequence, 0, 5000, 10000).empty());
}

TEST(PreviewTimeline, ABlinkingPageWakesEveryHalfSecond) {
    PanelSettings s = Defaults();
    s.lineText[0][3] = "x";
    s.blinkMode[0][3] = 3;
    PreviewTimeline timeline;
    timeline.Start(700, false, s, 0);
    std::vector<int64_t> expected;
    for (int64_t t = 500; t <= 10000; t += 500) expected.push_back(t);
    EXPECT_EQ(Wakes(timeline, s, 0, 700, 10000), expected);
    EXPECT_TRUE(timeline.blinkLit(700));
    EXPECT_FALSE(timeline.blinkLit(1200));
    EXPECT_TRUE(timeline.blinkLit(1700));
    // Another page selected: its blink starts lit when it comes on.
    s.lineText[5][0] = "y";
    s.blinkMode[5][0] = 1;
    timeline.Update(1300, s, 5);
    EXPECT_EQ(timeline.page(), 5);
    EXPECT_TRUE(timeline.blinkLit(1300));
    EXPECT_EQ(timeline.nextWake(1300, s), std::optional<int64_t>(1800));
}

TEST(PreviewTimeline, PlayingWakesAtPageChangesAndTheBlinkOfThePageOnShow) {
    PanelSettings s = ThreePageSequence();
    s.blinkMode[1][0] = 1;  // page 2 blinks
    PreviewTimeline timeline;
    timeline.Start(0, true, s, 0);
    const std::vector<int64_t> expected = {1000, 1500, 2000, 2500, 3000, 6000,
                                           7000, 7500, 8000, 8500, 9000};
    EXPECT_EQ(Wakes(timeline, s, 0, 0, 10000), expected);
    EXPECT_EQ(timeline.page(), 2);
    // Stopping shows the selected page, still.
    timeline.Start(10000, false, s, 0);
    EXPECT_FALSE(timeline.playing());
    EXPECT_EQ(timeline.page(), 0);
    EXPECT_FALSE(timeline.nextWake(10000, s));
}

TEST(PreviewTimeline, PlayingOnePageShowsTheSelectedPage) {
    PanelSettings s = Defaults();
    s.lineText[6][0] = "x";
    PreviewTimeline timeline;
    timeline.Start(0, true, s, 6);
    EXPECT_EQ(timeline.page(), 6);
    EXPECT_TRUE(Wakes(timeline, s, 6, 0, 10000).empty());
    timeline.Update(20, s, 8);  // another page chosen in the sheet
    EXPECT_EQ(timeline.page(), 8);
}

}  // namespace
