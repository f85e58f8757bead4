#pragma once
// The main window's controls (dialog 102, COrvaneDlg): every control with its id,
// kind, caption and place on a 1900 x 1000 client area, grouped as the console is
// used: faders across the top, the room plan and switches on the right, step,
// sound, effect and monitor areas below. Constant data, safe from any thread.

#include "console/controldef.h"
#include "console/controlmodel.h"

#include <span>

namespace orvane {

constexpr int kConsoleWidth = 1900;
constexpr int kConsoleHeight = 1000;

// Every control, group boxes before their contents. The room-plan check boxes and
// swatches come from the patch table.
std::span<const ControlDef> consoleControls();

// Adds every control with an id to the model: kind, caption, start-up ranges
// (levels 0-255, step spin 0-499, volumes and volume bars 0-10000, progress bars
// 0-100, level meters 0-30000) and hidden controls (the next-step panel, test1,
// test2). User-interface thread, like the model.
void populateConsole(ControlModel& model);

// Controls whose items live in a ListModel of their own: the sound list and the
// predefined light effect box.
std::span<const int> consoleLists();

// The tool tips of the console's controls.
std::span<const ControlTip> consoleToolTips();

} // namespace orvane
