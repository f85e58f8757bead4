#pragma once
// What the console's own controls reach beyond the playback: the tool windows
// its buttons open, the IP link, the hot keys, the DMX monitor, the busy cursor
// and the sound list of the step-editing buttons, and what the global hot keys
// press. User-interface thread only.

#include "app/hotkeys.h"
#include "playback/consolehandlers.h"
#include "playback/stepcontrols.h"

namespace orvane {

class COrvaneDlg;

ConsoleHooks consoleHooks(COrvaneDlg& main);
EditHooks editHooks(COrvaneDlg& main);
HotKeyActions hotKeyActions(COrvaneDlg& main);

} // namespace orvane
