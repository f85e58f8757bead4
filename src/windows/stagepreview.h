#pragma once
// The frame preview painter: a schematic of the stage drawn from a composed
// universe, as the console's stage preview and the timeline's rows show it.
// User-interface thread (or any thread holding its own picture).

#include "dmx/universe.h"

#include <QImage>
#include <QSize>

namespace orvane {

// Renders the stage preview of a universe into a picture of the given size:
// every shape is ORed onto black, so overlapping light adds up.
QImage renderStage(const Universe& universe, QSize size);

} // namespace orvane
