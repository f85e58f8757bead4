#include "dmx/outputsink.h"

namespace orvane {

int OutputRoutes::add(int universe, OutputSink& sink) {
    if (m_count == kMaxRoutes || universe != kComposedUniverse)
        return -1;
    m_routes[m_count].universe = universe;
    m_routes[m_count].sink = &sink;
    return int(m_count++);
}

void OutputRoutes::setEnabled(int route, bool on) {
    if (route >= 0 && std::size_t(route) < m_count)
        m_routes[std::size_t(route)].enabled.store(on, std::memory_order_release);
}

bool OutputRoutes::enabled(int route) const {
    return route >= 0 && std::size_t(route) < m_count &&
           m_routes[std::size_t(route)].enabled.load(std::memory_order_acquire);
}

bool OutputRoutes::anyEnabled() const {
    for (std::size_t i = 0; i < m_count; ++i)
        if (m_routes[i].enabled.load(std::memory_order_acquire))
            return true;
    return false;
}

} // namespace orvane
