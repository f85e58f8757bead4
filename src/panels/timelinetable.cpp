#include "panels/timelinetable.h"

#include "panels/timelinestate.h"

namespace orvane::timelinewindow {

namespace {

const ControlDef kControls[] = {
    {kScroll, ControlKind::Slider, "", 0, 0, kBarWidth, kOpenHeight - kBarWidth,
     kVertical | kScrollBar},
    {kZoom, ControlKind::Slider, "", kBarWidth, kOpenHeight - kBarWidth, kOpenWidth - kBarWidth,
     kBarWidth, kScrollBar},
};

} // namespace

std::span<const ControlDef> timelineControls() {
    return kControls;
}

} // namespace orvane::timelinewindow
