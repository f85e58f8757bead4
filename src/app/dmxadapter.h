#pragma once
// The console's DMX buttons: "Reset USB <-> DMX", "All dmx to 0", the start
// code buttons, and Play with recording or replay of the show's dmxraw.bin.
// User-interface thread only.

#include <string>

namespace orvane {

class COrvaneDlg;

// recording: the show's dmxraw.bin.
void bindDmxControls(COrvaneDlg& main, const std::string& recording);

} // namespace orvane
