#include "dmx/interfacewatch.h"

#include "dmx/dmxoutput.h"
#include "show/language.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace orvane {

namespace {

bool reopens(InterfaceState s) {
    return s == InterfaceState::NotFound || s == InterfaceState::NoPermission ||
           s == InterfaceState::Unplugged;
}

} // namespace

InterfaceState stateOfOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return InterfaceState::NotFound;
    case EACCES:
    case EPERM:
        return InterfaceState::NoPermission;
    default:
        return InterfaceState::Failed;
    }
}

std::string interfaceStateText(InterfaceState state, int error) {
    switch (state) {
    case InterfaceState::NotStarted:
        return translate("DMX interface", "not opened yet");
    case InterfaceState::Open:
        return translate("DMX interface", "open");
    case InterfaceState::NotFound:
        return translate("DMX interface", "not found");
    case InterfaceState::NoPermission:
        return translate("DMX interface", "no permission (add yourself to dialout)");
    case InterfaceState::Unplugged:
        return translate("DMX interface", "unplugged");
    case InterfaceState::NotUsed:
        return translate("DMX interface", "not used (output=ola)");
    case InterfaceState::Failed:
        break;
    }
    return error
               ? fillIn(translate("DMX interface", "cannot be opened: %1"), {std::strerror(error)})
               : translate("DMX interface", "cannot be opened");
}

InterfaceWatch::InterfaceWatch(DmxLine& line, DmxOutput& output, const Clock& clock)
    : m_line(line), m_output(output), m_clock(clock), m_since(clock.wall()) {}

void InterfaceWatch::started(Milliseconds now) {
    m_nextTry = now + kReopenPeriod;
    if (!m_output.outputs().serial)
        set(InterfaceState::NotUsed, 0);
    else if (m_output.portState() == 0)
        set(InterfaceState::Open, 0);
    else
        set(stateOfOpenError(m_output.openError()), m_output.openError());
}

bool InterfaceWatch::poll(Milliseconds now) {
    if (m_state == InterfaceState::Open) {
        int error = m_line.lineError();
        if (error == 0)
            return false;
        m_output.closeLine();
        m_nextTry = now + kReopenPeriod;
        return set(InterfaceState::Unplugged, error);
    }
    if (!reopens(m_state) || now < m_nextTry)
        return false;
    return retry(now);
}

bool InterfaceWatch::retry(Milliseconds now) {
    m_nextTry = now + kReopenPeriod;
    if (m_output.reopen() == 0)
        return set(InterfaceState::Open, 0);
    // Pulled out, it stays "unplugged" until it answers again.
    if (m_state == InterfaceState::Unplugged)
        return false;
    return set(stateOfOpenError(m_output.openError()), m_output.openError());
}

bool InterfaceWatch::set(InterfaceState state, int error) {
    if (state == m_state && error == m_error)
        return false;
    m_state = state;
    m_error = error;
    m_since = m_clock.wall();
    return true;
}

std::string InterfaceWatch::text() const {
    char since[16];
    std::tm local{};
    std::time_t seconds = std::chrono::system_clock::to_time_t(m_since);
    localtime_r(&seconds, &local);
    std::strftime(since, sizeof since, "%H:%M:%S", &local);
    return fillIn(translate("DMX interface", "%1: %2\nsince %3"),
                  {m_output.device(), interfaceStateText(m_state, m_error), since});
}

} // namespace orvane
