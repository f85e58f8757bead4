#include "app/toolwindows.h"

#include "app/orvanedlg.h"

namespace orvane {

ToolWindows::ToolWindows(COrvaneDlg& main) : m_main(main) {}

ToolWindows::~ToolWindows() {
    destroyAll();
}

void ToolWindows::createFixtureWindows() {}

void ToolWindows::createShowTime() {}

void ToolWindows::destroyAll() {}

} // namespace orvane
