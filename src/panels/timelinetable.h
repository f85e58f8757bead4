#pragma once
// The timeline window's controls (dialog 117): its vertical scroll bar and its
// zoom bar, laid along the left and bottom edges of a 200 x 600 client area;
// the window keeps them on its edges when it is resized. Constant data, safe
// from any thread.

#include "console/controldef.h"

#include <span>

namespace orvane::timelinewindow {

constexpr int kBarWidth = 16;
constexpr int kOpenWidth = 200;
constexpr int kOpenHeight = 600;

std::span<const ControlDef> timelineControls();

} // namespace orvane::timelinewindow
