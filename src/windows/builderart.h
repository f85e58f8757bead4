#pragma once
// The easy show builder's pictures and drag cursors, drawn at run time. Each
// is known by its number: the strip's pictures (BuilderArt), the drag cursors
// (sound, effect and the nine drop icons), and the three icons that act on the
// main window (play, stop the fade, stop). User-interface thread only.

#include <QCursor>
#include <QPixmap>

namespace orvane {

// The three icons that act on the main window.
constexpr int kArtPlay = 1390;
constexpr int kArtStopFade = 1006;
constexpr int kArtStop = 3;

// The picture of a number at size x size pixels (cached). Null for a number
// that has no picture.
QPixmap builderPicture(int number, int size = 32);

// A drag cursor: the arrow with the dragged thing's picture beside it. The
// standard arrow for a number that has no picture.
QCursor builderCursor(int number);

} // namespace orvane
