#pragma once
// The application icon, drawn at run time so the program needs no image files.

#include <QIcon>

namespace orvane {

QIcon applicationIcon();

} // namespace orvane
