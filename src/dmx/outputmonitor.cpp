#include "dmx/outputmonitor.h"

#include "show/textutil.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orvane {

namespace {

// One decimal, always with a point: the monitor reads the same in every locale.
std::string tenths(double value) {
    long long t = std::llround(value * 10);
    return format("%s%lld.%lld", t < 0 ? "-" : "", std::llabs(t) / 10, std::llabs(t) % 10);
}

// The system's text for error, after prefix; empty without an error.
std::string reasonText(int error, const char* prefix) {
    return error ? prefix + std::string(std::strerror(error)) : std::string();
}

} // namespace

OutputMonitor::OutputMonitor(const DmxOutput& output, Nanoseconds now) : m_output(output) {
    m_serial = {output.serialReading(now).frames, now};
    m_ola = {output.ola().read(now).frames, now};
}

double OutputMonitor::Rate::perSecond(uint64_t framesNow, Nanoseconds now) {
    double seconds = std::chrono::duration<double>(now - at).count();
    double rate = seconds > 0 ? double(framesNow - frames) / seconds : 0.0;
    frames = framesNow;
    at = now;
    return rate;
}

OutputMonitor::Sample OutputMonitor::sample(Nanoseconds now) {
    Sample s;
    const OutputChoice& choice = m_output.outputs();
    std::string serial = serialText(now);
    std::string ola = olaText(now);
    if (choice.serial)
        s.text = serial;
    if (choice.ola)
        s.text += (s.text.empty() ? "" : "    ") + ola;
    followOutages(choice.ola, s);
    return s;
}

// Each outage is said once when it starts, and once more when olad is back.
void OutputMonitor::followOutages(bool olaChosen, Sample& s) {
    uint32_t outages = m_output.ola().outages();
    OlaState state = m_output.ola().state();
    s.olaUnreachable = olaChosen && outages != m_outagesSeen && state == OlaState::Unreachable;
    s.olaBack = olaChosen && m_outageSaid && state == OlaState::Connected;
    if (s.olaUnreachable || !olaChosen)
        m_outagesSeen = outages;
    if (s.olaUnreachable)
        m_outageSaid = true;
    if (s.olaBack || !olaChosen)
        m_outageSaid = false;
}

std::string OutputMonitor::serialText(Nanoseconds now) {
    SinkReading r = m_output.serialReading(now);
    double rate = m_serial.perSecond(r.frames, now);
    if (!m_output.serialRunning())
        return "Serial: not open";
    return "Serial: " + figuresText(rate, r, m_output.frameTiming());
}

std::string OutputMonitor::olaText(Nanoseconds now) {
    const OlaSink& ola = m_output.ola();
    SinkReading r = ola.read(now);
    double rate = m_ola.perSecond(r.frames, now);
    std::string name = format("OLA universe %u: ", ola.universe());
    switch (ola.state()) {
    case OlaState::Off:
        return name + "off";
    case OlaState::Connecting:
        return name + "connecting to " + olaPeerText();
    case OlaState::Unreachable:
        return name + "not reachable (" + olaPeerText() + reasonText(ola.lastError(), ": ") +
               "), retrying";
    case OlaState::Connected:
        break;
    }
    return name + figuresText(rate, r, m_output.frameTiming());
}

std::string OutputMonitor::olaUnreachableDetail() const {
    std::string reason = reasonText(m_output.ola().lastError(), "");
    if (!reason.empty())
        reason = " (" + reason + ")";
    return format("%s%s; retrying every %s s", olaBackDetail().c_str(), reason.c_str(),
                  tenths(std::chrono::duration<double>(m_output.olaRetry()).count()).c_str());
}

std::string OutputMonitor::olaBackDetail() const {
    return format("%s, universe %u", olaPeerText().c_str(), m_output.ola().universe());
}

std::string figuresText(double framesPerSecond, const SinkReading& reading,
                        const FrameTiming& timing) {
    std::string asked = timing.chosen() ? " of " + rateText(timing.rate) : std::string();
    double worstMs = std::chrono::duration<double, std::milli>(reading.worstPeriod).count();
    return format("%s%s frames/s, worst %s ms, %llu write error%s", tenths(framesPerSecond).c_str(),
                  asked.c_str(), tenths(worstMs).c_str(), (unsigned long long)reading.errors,
                  reading.errors == 1 ? "" : "s");
}

} // namespace orvane
