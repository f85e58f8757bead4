#pragma once
// The timeline window's logic (dialog 117): which steps it shows, the current
// step it marks, its scroll bar (1278) and zoom bar (1280) with their actions,
// where each row is drawn and which step a double-click chooses. Step numbers
// on the timeline run 0..500; it shows the steps first .. last - 2, one row
// each. User-interface thread only.

#include "console/controlmodel.h"
#include "playback/activation.h"

#include <functional>
#include <optional>
#include <vector>

namespace orvane {

namespace timelinewindow {
constexpr int kScroll = 1278; // vertical, 0..500
constexpr int kZoom = 1280;   // horizontal, 3..500
constexpr int kEnd = 500;     // last step number on the timeline
constexpr int kMinSpan = 3;
constexpr int kOpenSpan = 15;
} // namespace timelinewindow

// The actions of a scroll bar, as both bars report them. Back is up or left.
enum class ScrollAction : uint8_t { LineBack, LineForward, PageBack, PageForward, Track, Other };

struct TimelineHooks {
    std::function<void()> repaint;        // drawn anew, background erased
    std::function<void(int step)> jumpTo; // the main window's step field := step, activating it
};

// One row of the picture: step n between y = top and y = bottom.
struct TimelineRow {
    int step = 0;
    int top = 0;
    int bottom = 0;
    bool current = false;
};

// Text on the timeline is never smaller than this (8 points on a 96 dpi
// screen); rows too low for it show their number and picture alone.
constexpr int kTimelineSmallestText = 11;

struct TimelineLayout {
    int unit = 0;         // row height h / count; the preview is 2 units by 1
    int numberPixels = 0; // step number font, pixels; 0: rows too low for numbers
    int textPixels = 0;   // name, sound and fade font, pixels; 0: rows too low for them
    std::vector<TimelineRow> rows;
};

class TimelineState : public TimelineView {
public:
    explicit TimelineState(TimelineHooks hooks);

    ControlModel& controls() { return m_controls; }

    // First use of "Show Timeline": current step and the view around it.
    void open(int current);

    // What step activation tells and asks. A new current step is drawn at
    // once, also when the view stays where it is.
    void setCurrentStep(int step) override;
    int firstVisible() const override { return m_first; }
    int lastVisible() const override { return m_last; }
    void setVisibleSteps(int first, int last) override;
    void repaint() override;

    int currentStep() const { return m_current; }
    int span() const { return m_last - m_first; }

    void scroll(ScrollAction action, int pos); // bar 1278
    void zoom(ScrollAction action, int pos);   // bar 1280

    // The step of the row at y in a client area `height` high; nothing below
    // the last step of the show.
    std::optional<int> stepAt(int y, int height) const;
    // Makes that step the main window's step.
    void doubleClick(int y, int height);

    // Rows of a client area `height` high; each row a step of the show. The
    // fonts follow the row height: numbers half of it, texts three tenths,
    // within readable bounds.
    TimelineLayout layout(int height) const;

    // The bars' positions from the view, as the painting leaves them.
    void syncBars();

private:
    ControlModel m_controls;
    TimelineHooks m_hooks;
    int m_first = 0;
    int m_last = timelinewindow::kOpenSpan;
    int m_current = 0;
};

} // namespace orvane
