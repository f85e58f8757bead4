#include "panels/timelinestate.h"
#include "panels/timelinetable.h"

#include "show/steprecord.h"

#include <algorithm>

namespace orvane {

using namespace timelinewindow;

TimelineState::TimelineState(TimelineHooks hooks) : m_hooks(std::move(hooks)) {
    declareControls(m_controls, timelineControls());
    m_controls.setRange(kScroll, 0, kEnd);
    m_controls.setRange(kZoom, kMinSpan, kEnd);
    syncBars();
}

void TimelineState::open(int current) {
    m_current = current;
    m_first = std::max(current - 1, 0);
    m_last = m_first + kOpenSpan;
    syncBars();
}

void TimelineState::setCurrentStep(int step) {
    if (step == m_current)
        return;
    m_current = step;
    if (m_hooks.repaint)
        m_hooks.repaint();
}

void TimelineState::setVisibleSteps(int first, int last) {
    m_first = first;
    m_last = last;
}

void TimelineState::repaint() {
    syncBars();
    if (m_hooks.repaint)
        m_hooks.repaint();
}

void TimelineState::scroll(ScrollAction action, int pos) {
    const int s = span();
    switch (action) {
    case ScrollAction::LineBack:
        if (m_first > 0)
            setVisibleSteps(m_first - 1, m_last - 1);
        break;
    case ScrollAction::LineForward:
        if (m_last < kEnd)
            setVisibleSteps(m_first + 1, m_last + 1);
        break;
    case ScrollAction::PageBack:
        if (m_first > s)
            setVisibleSteps(m_first - s + 1, m_last - s + 1);
        else
            setVisibleSteps(0, s);
        break;
    case ScrollAction::PageForward:
        if (m_first < kEnd - s)
            setVisibleSteps(m_first + s - 1, m_last + s - 1);
        else
            setVisibleSteps(kEnd - s, kEnd);
        break;
    case ScrollAction::Track: {
        int first = pos * kEnd / (s + kEnd);
        setVisibleSteps(first, first + s);
        break;
    }
    case ScrollAction::Other:
        // The bar may have moved itself: it goes back to where the view is.
        syncBars();
        return;
    }
    repaint();
}

void TimelineState::zoom(ScrollAction action, int pos) {
    const int s = span();
    switch (action) {
    case ScrollAction::LineBack:
        if (s > kMinSpan)
            m_last -= 1;
        break;
    case ScrollAction::LineForward:
        if (s < kEnd) {
            m_last += 1;
            if (m_last > kEnd) {
                m_last = kEnd;
                m_first = kEnd - (s + 1);
            }
        }
        break;
    case ScrollAction::Track:
        m_last = m_first + pos;
        if (m_last > kEnd) {
            m_last = kEnd;
            m_first = kEnd - pos;
        }
        break;
    default:
        syncBars();
        return;
    }
    repaint();
}

std::optional<int> TimelineState::stepAt(int y, int height) const {
    if (height <= 0 || y < 0 || y >= height)
        return std::nullopt;
    int step = m_first + int(int64_t(span()) * y / height);
    // Rows past the end of the show stand for no step.
    if (step < 0 || step >= kStepCount)
        return std::nullopt;
    return step;
}

void TimelineState::doubleClick(int y, int height) {
    if (std::optional<int> step = stepAt(y, height); step && m_hooks.jumpTo)
        m_hooks.jumpTo(*step);
}

TimelineLayout TimelineState::layout(int height) const {
    TimelineLayout out;
    const int count = span();
    if (count <= 0 || height <= 0)
        return out;
    out.unit = height / count;
    constexpr int kLargestNumber = 48, kLargestText = 24;
    if (out.unit > kTimelineSmallestText)
        out.numberPixels = std::clamp(out.unit / 2, kTimelineSmallestText, kLargestNumber);
    if (out.unit >= kTimelineSmallestText + 3)
        out.textPixels = std::clamp(out.unit * 3 / 10, kTimelineSmallestText, kLargestText);
    auto y = [&](int i) { return int(int64_t(i) * height / count); };
    out.rows.reserve(size_t(count));
    // One row fewer than the view is wide: the last slot stays free.
    for (int i = 0; i + 1 < count; ++i) {
        int step = m_first + i;
        if (step < 0 || step >= kStepCount)
            continue;
        out.rows.push_back({step, y(i), y(i + 1), step == m_current});
    }
    return out;
}

void TimelineState::syncBars() {
    const int s = span();
    m_controls.setPos(kScroll, int(int64_t(s + kEnd) * m_first / kEnd));
    m_controls.setPos(kZoom, s);
}

} // namespace orvane
