#pragma once
// The easy show builder's controls (dialog 126): the sound and effect lists,
// the nine drop icons with their labels, the duration field and the two level
// sliders, the play and stop icons, the strip of cells with its scroll and zoom
// bars, and the hidden caption boxes, on a 1280 x 700 client area. Constant
// data, safe from any thread.

#include "console/controldef.h"

#include <QRect>

#include <span>

namespace orvane::builder {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 700;
constexpr QRect kStripRect(10, 435, 1260, 220);

std::span<const ControlDef> builderControls();

} // namespace orvane::builder
