#pragma once
// What undo and redo, and the recovery file, reach in the main window: the
// audio list, the windows that draw steps, the resting ticks, the status line
// and the log, and the user-interface thread the recovery writer reports to.
// User-interface thread only.

#include "playback/showrecovery.h"
#include "playback/undoredo.h"

namespace orvane {

class COrvaneDlg;

UndoHooks undoHooks(COrvaneDlg& main);
RecoveryHooks recoveryHooks(COrvaneDlg& main);

} // namespace orvane
