// The timeline's view: where it opens, its scroll and zoom tables, where rows
// are drawn, which step a double-click chooses, and how it follows activation.

#include "panels/timelinestate.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace orvane;

namespace {

struct View {
    int first, last;
};

struct TimelineFixture : ::testing::Test {
    int repaints = 0;
    std::vector<int> jumps;
    TimelineState state{
        TimelineHooks{[this] { ++repaints; }, [this](int step) { jumps.push_back(step); }}};

    void show(int first, int last) { state.setVisibleSteps(first, last); }
};

#define EXPECT_VIEW(first_, last_)                                                                 \
    do {                                                                                           \
        EXPECT_EQ(state.firstVisible(), first_);                                                   \
        EXPECT_EQ(state.lastVisible(), last_);                                                     \
    } while (0)

TEST_F(TimelineFixture, OpensOneStepBeforeTheCurrentWithFifteenSteps) {
    struct {
        int current, first;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {20, 19}, {499, 498}};
    for (auto c : cases) {
        state.open(c.current);
        EXPECT_EQ(state.currentStep(), c.current);
        EXPECT_VIEW(c.first, c.first + 15);
    }
}

TEST_F(TimelineFixture, ScrollAndZoomTables) {
    enum Bar { Scroll, Zoom };
    struct Case {
        Bar bar;
        View before;
        ScrollAction action;
        int pos;
        View after;
    } cases[] = {
        {Scroll, {0, 15}, ScrollAction::LineBack, 0, {0, 15}}, // at the top: nothing
        {Scroll, {7, 22}, ScrollAction::LineBack, 0, {6, 21}},
        {Scroll, {485, 500}, ScrollAction::LineForward, 0, {485, 500}}, // at the end: nothing
        {Scroll, {7, 22}, ScrollAction::LineForward, 0, {8, 23}},
        {Scroll, {40, 55}, ScrollAction::PageBack, 0, {26, 41}},
        {Scroll, {15, 30}, ScrollAction::PageBack, 0, {0, 15}},
        {Scroll, {40, 55}, ScrollAction::PageForward, 0, {54, 69}},
        {Scroll, {485, 500}, ScrollAction::PageForward, 0, {485, 500}},
        {Scroll, {490, 503}, ScrollAction::PageForward, 0, {487, 500}},
        {Scroll, {0, 15}, ScrollAction::Track, 103, {100, 115}}, // 103 x 500 / 515
        {Scroll, {0, 15}, ScrollAction::Track, 500, {485, 500}},
        {Scroll, {7, 22}, ScrollAction::Other, 300, {7, 22}},
        {Zoom, {10, 25}, ScrollAction::LineBack, 0, {10, 24}},
        {Zoom, {10, 13}, ScrollAction::LineBack, 0, {10, 13}}, // span 3 is the narrowest
        {Zoom, {10, 25}, ScrollAction::LineForward, 0, {10, 26}},
        {Zoom, {485, 500}, ScrollAction::LineForward, 0, {484, 500}}, // the end holds
        {Zoom, {0, 500}, ScrollAction::LineForward, 0, {0, 500}},
        {Zoom, {10, 25}, ScrollAction::Track, 100, {10, 110}},
        {Zoom, {450, 465}, ScrollAction::Track, 100, {400, 500}},
        {Zoom, {10, 25}, ScrollAction::PageForward, 0, {10, 25}},
    };
    for (const Case& c : cases) {
        show(c.before.first, c.before.last);
        c.bar == Scroll ? state.scroll(c.action, c.pos) : state.zoom(c.action, c.pos);
        const char* bar = c.bar == Scroll ? "scroll " : "zoom ";
        EXPECT_EQ(state.firstVisible(), c.after.first)
            << bar << int(c.action) << " from " << c.before.first << ".." << c.before.last;
        EXPECT_EQ(state.lastVisible(), c.after.last)
            << bar << int(c.action) << " from " << c.before.first << ".." << c.before.last;
    }
}

TEST_F(TimelineFixture, ZoomingInStopsAtSpanThree) {
    show(0, 15);
    for (int i = 0; i < 40; ++i)
        state.zoom(ScrollAction::LineBack, 0);
    EXPECT_VIEW(0, 3);
    EXPECT_EQ(state.layout(600).rows.size(), 2u);
}

TEST_F(TimelineFixture, HandledActionsRepaintAndTheBarsFollowTheView) {
    show(100, 115);
    state.scroll(ScrollAction::LineForward, 0);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(state.controls().pos(timelinewindow::kScroll), 515 * 101 / 500);
    EXPECT_EQ(state.controls().pos(timelinewindow::kZoom), 15);
    state.zoom(ScrollAction::LineForward, 0);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(state.controls().pos(timelinewindow::kZoom), 16);
    // An action the tables ignore leaves the picture, and puts a bar that
    // moved by itself back where the view is.
    state.controls().setPos(timelinewindow::kZoom, 40);
    state.zoom(ScrollAction::PageBack, 40);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(state.controls().pos(timelinewindow::kZoom), 16);
}

TEST_F(TimelineFixture, FollowsActivationThroughItsView) {
    // What step activation does with the view it is given.
    auto activate = [&](int step) {
        state.setCurrentStep(step);
        if (auto first = timelineFirstVisible(state.firstVisible(), state.lastVisible(), step)) {
            state.setVisibleSteps(*first, *first + state.span());
            state.repaint();
        }
    };
    state.open(0);
    activate(20);
    EXPECT_VIEW(19, 34);
    EXPECT_EQ(state.currentStep(), 20);
    state.open(0);
    repaints = 0;
    activate(5);
    EXPECT_VIEW(0, 15);
    EXPECT_EQ(repaints, 1) << "the marker moves even though the view stays";
    activate(5);
    EXPECT_EQ(repaints, 1);
    std::vector<TimelineRow> rows = state.layout(600).rows;
    ASSERT_EQ(rows.size(), 14u);
    for (const TimelineRow& r : rows)
        EXPECT_EQ(r.current, r.step == 5) << r.step;
}

TEST_F(TimelineFixture, RowsAndFontsFollowTheHeight) {
    show(10, 25);
    TimelineLayout l = state.layout(600);
    EXPECT_EQ(l.unit, 40);
    EXPECT_EQ(l.numberPixels, 20);
    EXPECT_EQ(l.textPixels, 12);
    ASSERT_EQ(l.rows.size(), 14u); // one row fewer than the span
    EXPECT_EQ(l.rows.front().step, 10);
    EXPECT_EQ(l.rows.front().top, 0);
    EXPECT_EQ(l.rows.front().bottom, 40);
    EXPECT_EQ(l.rows.back().step, 23);
    EXPECT_EQ(l.rows.back().top, 520);
    // Uneven heights: y_i = i x h / count.
    show(0, 7);
    l = state.layout(100);
    EXPECT_EQ(l.unit, 14);
    EXPECT_EQ(l.rows[1].top, 14);
    EXPECT_EQ(l.rows[2].top, 28);
    EXPECT_EQ(l.rows[3].top, 42);
    // Rows too low for readable text show none; tall rows stop growing it.
    show(0, 100);
    l = state.layout(1000);
    EXPECT_EQ(l.numberPixels, 0);
    EXPECT_EQ(l.textPixels, 0);
    show(0, 3);
    l = state.layout(900);
    EXPECT_EQ(l.numberPixels, 48);
    EXPECT_EQ(l.textPixels, 24);
    // Rows past the show's last step are no steps.
    show(495, 510);
    l = state.layout(600);
    ASSERT_EQ(l.rows.size(), 5u);
    EXPECT_EQ(l.rows.back().step, 499);
    EXPECT_TRUE(state.layout(0).rows.empty());
}

TEST_F(TimelineFixture, DoubleClickChoosesTheStepOfTheRow) {
    show(10, 25);
    for (int n = 10; n < 24; ++n) {
        TimelineRow row = state.layout(600).rows[size_t(n - 10)];
        state.doubleClick(row.top, 600);
        state.doubleClick(row.bottom - 1, 600);
    }
    std::vector<int> expected;
    for (int n = 10; n < 24; ++n)
        expected.insert(expected.end(), {n, n});
    EXPECT_EQ(jumps, expected);
    EXPECT_EQ(state.stepAt(599, 600), 24); // the free slot at the bottom
    show(495, 510);
    EXPECT_EQ(state.stepAt(0, 600), 495);
    EXPECT_EQ(state.stepAt(599, 600), std::nullopt) << "no step 509";
    EXPECT_EQ(state.stepAt(-1, 600), std::nullopt);
    EXPECT_EQ(state.stepAt(600, 600), std::nullopt);
}

} // namespace
