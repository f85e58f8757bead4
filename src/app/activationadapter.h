#pragma once
// What step activation and the extra commands reach outside the playback: the
// sound, the keys, the timeline, the fade, the programs and devices the
// commands drive, the DMX line, and the main window itself for a chained show.
// User-interface thread only.

#include "playback/activation.h"

namespace orvane {

class COrvaneDlg;

ActivationHooks activationHooks(COrvaneDlg& main);
ExtraServices extraServices(COrvaneDlg& main);

} // namespace orvane
