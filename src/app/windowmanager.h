#pragma once
// Whether anything on the display can minimise, maximise and frame windows. A
// kiosk X session, a bare X server (xvfb-run) and Qt's offscreen platform have
// no window manager: a window shown minimised there simply opens over the
// others. User-interface thread only.

namespace orvane {

// On X, whether a window manager announces itself on the root window (the
// EWMH check window, alive); elsewhere, whether the platform has one at all.
bool windowManagerRunning();

} // namespace orvane
