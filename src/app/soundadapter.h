#pragma once
// What the console's sound side reaches beyond itself: the DMX recording that
// a stop ends, the mouse, the step information line, the sound hot keys and
// the log. User-interface thread only.

#include "sound/soundconsole.h"

namespace orvane {

class COrvaneDlg;

SoundConsoleOptions soundOptions(COrvaneDlg& main, std::string folder);

} // namespace orvane
