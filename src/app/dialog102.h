#pragma once
// The main window's controls (dialog 102, COrvaneDlg): every control with its id,
// kind, caption and place on a 1900 x 1000 client area, grouped as the console is
// used: faders across the top, the room plan and switches on the right, step,
// sound, effect and monitor areas below. Constant data, safe from any thread.

#include "playback/controlmodel.h"
#include "windows/controldef.h"

#include <span>

namespace orvane {

constexpr int kDialog102Width = 1900;
constexpr int kDialog102Height = 1000;
extern const char* const kDialog102Caption;

// Every control, group boxes before their contents. The room-plan check boxes and
// swatches come from the patch table.
std::span<const ControlDef> dialog102Controls();

// Adds every control with an id to the model: kind, caption, start-up ranges
// (levels 0-255, step spin 0-499, volumes and volume bars 0-10000, progress bars
// 0-100, level meters 0-30000) and hidden controls (the next-step panel, test1,
// test2). User-interface thread, like the model.
void populateModel(ControlModel& model);

// Controls whose items live in a ListModel of their own: the sound list and the
// predefined light effect box.
std::span<const int> dialog102Lists();

// The tool tips of the console's controls.
std::span<const ControlTip> dialog102ToolTips();

} // namespace orvane
