#pragma once
// Qt's offscreen platform with a screen of a chosen size, for window tests and
// benchmarks that must see the layout an operator's screen gives: the screen is
// described in a small JSON file the platform reads (its "configfile" option).
// Call before the QApplication exists.

#include <string>

namespace orvane::test {

// Sets QT_QPA_PLATFORM to the offscreen platform with one screen of
// width x height pixels at 96 dpi, windows without frame margins. The file
// lives in the system's temporary folder until the process ends.
void useOffscreenScreen(int width, int height);

} // namespace orvane::test
