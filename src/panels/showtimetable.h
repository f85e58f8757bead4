#pragma once
// The show time window's controls (dialog 112), laid out at 480 x 360; the
// window scales every one of them with its size. Constant data, safe from any
// thread.

#include "console/controldef.h"

#include <span>

namespace orvane::showtime {

constexpr int kBaseWidth = 480; // the layout's size at scale 1
constexpr int kBaseHeight = 360;

std::span<const ControlDef> showTimeControls();

} // namespace orvane::showtime
