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

OutputMonitor::OutputMonitor(const DmxOutput& output, int64_t nowNs) : m_output(output) {
    m_serial = {output.serialReading(nowNs).frames, nowNs};
    m_ola = {output.ola().read(nowNs).frames, nowNs};
}

double OutputMonitor::Rate::perSecond(uint64_t framesNow, int64_t nowNs) {
    double seconds = double(nowNs - atNs) / double(kNsPerSecond);
    double rate = seconds > 0 ? double(framesNow - frames) / seconds : 0.0;
    frames = framesNow;
    atNs = nowNs;
    return rate;
}

OutputMonitor::Sample OutputMonitor::sample(int64_t nowNs) {
    Sample s;
    const OutputChoice& choice = m_output.outputs();
    std::string serial = serialText(nowNs);
    std::string ola = olaText(nowNs);
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

std::string OutputMonitor::serialText(int64_t nowNs) {
    SinkReading r = m_output.serialReading(nowNs);
    double rate = m_serial.perSecond(r.frames, nowNs);
    if (!m_output.serialRunning())
        return "Serial: not open";
    return "Serial: " + figuresText(rate, r);
}

std::string OutputMonitor::olaText(int64_t nowNs) {
    const OlaSink& ola = m_output.ola();
    SinkReading r = ola.read(nowNs);
    double rate = m_ola.perSecond(r.frames, nowNs);
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
    return name + figuresText(rate, r);
}

std::string OutputMonitor::olaUnreachableDetail() const {
    std::string reason = reasonText(m_output.ola().lastError(), "");
    if (!reason.empty())
        reason = " (" + reason + ")";
    return format("%s%s; retrying every %s s", olaBackDetail().c_str(), reason.c_str(),
                  tenths(m_output.olaRetryMs() / 1000.0).c_str());
}

std::string OutputMonitor::olaBackDetail() const {
    return format("%s, universe %u", olaPeerText().c_str(), m_output.ola().universe());
}

std::string figuresText(double framesPerSecond, const SinkReading& reading) {
    return format("%s frames/s, worst %s ms, %llu write error%s", tenths(framesPerSecond).c_str(),
                  tenths(double(reading.worstPeriodNs) / 1e6).c_str(),
                  (unsigned long long)reading.errors, reading.errors == 1 ? "" : "s");
}

} // namespace orvane
