#pragma once
// What the playback clock reaches outside itself, named: the sound's tick, the
// step's running effects, the DMX output and the keys it reads, the joystick,
// colour picking on the picture, manual mode, the console's drawing and what
// keeps the clock from resting. User-interface thread only.

#include "playback/maintimer.h"

namespace orvane {

class COrvaneDlg;

MainTimerHooks mainTimerHooks(COrvaneDlg& main);

} // namespace orvane
