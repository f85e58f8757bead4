#pragma once
// The timeline window's controls (dialog 117): its vertical scroll bar and its
// zoom bar, laid along the left and bottom edges of the client area it opens
// with (640 x 940: its rows readable from the desk, made smaller to fit a
// smaller screen); the window keeps them on its edges when it is resized.
// Constant data, safe from any thread.

#include "console/controldef.h"

#include <span>

namespace orvane::timelinewindow {

constexpr int kBarWidth = 16;
constexpr int kOpenWidth = 640;
constexpr int kOpenHeight = 940;

std::span<const ControlDef> timelineControls();

} // namespace orvane::timelinewindow
