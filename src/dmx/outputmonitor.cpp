#include "dmx/outputmonitor.h"

#include "show/language.h"
#include "show/textutil.h"

#include <climits>
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

// The error count, in the operator's language; one error is said alone in
// English, none and one in French.
std::string writeErrorsText(uint64_t errors) {
    int n = int(std::min<uint64_t>(errors, INT_MAX));
    return n == 1 ? translate("Output monitor", "%n write error", nullptr, n)
                  : translate("Output monitor", "%n write errors", nullptr, n);
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
        return translate("Output monitor", "Serial: not open");
    return fillIn(translate("Output monitor", "Serial: %1"),
                  {figuresText(rate, r, m_output.frameTiming())});
}

std::string OutputMonitor::olaText(Nanoseconds now) {
    const OlaSink& ola = m_output.ola();
    SinkReading r = ola.read(now);
    double rate = m_ola.perSecond(r.frames, now);
    std::string what;
    switch (ola.state()) {
    case OlaState::Off:
        what = translate("Output monitor", "off");
        break;
    case OlaState::Connecting:
        what = fillIn(translate("Output monitor", "connecting to %1"), {olaPeerText()});
        break;
    case OlaState::Unreachable: {
        std::string peer = olaPeerText();
        if (int error = ola.lastError())
            peer = fillIn(translate("Output monitor", "%1: %2"), {peer, std::strerror(error)});
        what = fillIn(translate("Output monitor", "not reachable (%1), retrying"), {peer});
        break;
    }
    case OlaState::Connected:
        what = figuresText(rate, r, m_output.frameTiming());
        break;
    }
    return fillIn(translate("Output monitor", "OLA universe %1: %2"),
                  {std::to_string(ola.universe()), what});
}

std::string OutputMonitor::olaUnreachableDetail() const {
    std::string every = tenths(std::chrono::duration<double>(m_output.olaRetry()).count());
    if (int error = m_output.ola().lastError())
        return fillIn(translate("Output monitor", "%1 (%2); retrying every %3 s"),
                      {olaBackDetail(), std::strerror(error), every});
    return fillIn(translate("Output monitor", "%1; retrying every %2 s"), {olaBackDetail(), every});
}

std::string OutputMonitor::olaBackDetail() const {
    return fillIn(translate("Output monitor", "%1, universe %2"),
                  {olaPeerText(), std::to_string(m_output.ola().universe())});
}

std::string figuresText(double framesPerSecond, const SinkReading& reading,
                        const FrameTiming& timing) {
    std::string rate = tenths(framesPerSecond);
    if (timing.chosen())
        rate = fillIn(translate("Output monitor", "%1 of %2"), {rate, rateText(timing.rate)});
    double worstMs = std::chrono::duration<double, std::milli>(reading.worstPeriod).count();
    return fillIn(translate("Output monitor", "%1 frames/s, worst %2 ms, %3"),
                  {rate, tenths(worstMs), writeErrorsText(reading.errors)});
}

} // namespace orvane
