#include "dmx/frametiming.h"

#include "show/textutil.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvane {

namespace {

// The whole text as a plain decimal number ("40", "16.7"); from_chars reads
// "." whatever the locale. No sign, no exponent, nothing after the number.
bool readDecimal(std::string_view text, double& value) {
    if (text.empty() || text.size() > 20)
        return false;
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return error == std::errc() && end == text.data() + text.size();
}

void addProblem(std::string* problem, const std::string& line) {
    if (!problem)
        return;
    if (!problem->empty())
        *problem += "\n";
    *problem += line;
}

std::string usualCadenceText() {
    return "DMX goes out at the usual " + rateText(kUsualFrameRate) + " frames/s";
}

Microseconds readBreak(std::string_view text, std::string* problem) {
    double us = 0;
    if (readDecimal(text, us) && us == std::floor(us) && us >= double(kMinBreak.count()) &&
        us <= double(kMaxBreak.count()))
        return Microseconds{int64_t(us)};
    addProblem(problem, format("Setting breakus=%.*s is not a break of %lld to %lld µs: a "
                               "%lld µs break is used",
                               int(text.size()), text.data(), (long long)kMinBreak.count(),
                               (long long)kMaxBreak.count(), (long long)kDefaultBreak.count()));
    return kDefaultBreak;
}

} // namespace

Nanoseconds FrameTiming::period() const {
    return chosen() ? Nanoseconds{std::llround(1e9 / rate)} : Nanoseconds{0};
}

double wireLimit(Microseconds breakTime) {
    Microseconds frame = breakTime + kMarkAfterBreak + kFrameWireTime;
    return std::min(kMaxFrameRate, 1e6 / double(frame.count()));
}

std::string rateText(double rate) {
    long long tenths = std::llround(rate * 10);
    if (tenths % 10 == 0)
        return format("%lld", tenths / 10);
    return format("%lld.%lld", tenths / 10, tenths % 10);
}

FrameTiming chooseFrameTiming(std::string_view framerate, std::string_view breakus,
                              std::string* problem) {
    FrameTiming timing;
    breakus = trimBlanks(breakus);
    if (!breakus.empty())
        timing.breakTime = readBreak(breakus, problem);
    framerate = trimBlanks(framerate);
    if (framerate.empty())
        return timing;
    double rate = 0;
    std::string name(framerate);
    if (!readDecimal(framerate, rate) || rate < kMinFrameRate) {
        addProblem(problem, format("Setting framerate=%s is not a number of frames per second "
                                   "from %s to %s: %s",
                                   name.c_str(), rateText(kMinFrameRate).c_str(),
                                   rateText(kMaxFrameRate).c_str(), usualCadenceText().c_str()));
        return timing;
    }
    // Rounded down: the limit the message names is a rate that is taken.
    double limit = std::floor(wireLimit(timing.breakTime) * 10 + 1e-9) / 10;
    if (rate > wireLimit(timing.breakTime)) {
        addProblem(problem,
                   format("Setting framerate=%s is more than the DMX line carries: at "
                          "most %s frames/s with a %lld µs break. %s",
                          name.c_str(), rateText(limit).c_str(),
                          (long long)timing.breakTime.count(), usualCadenceText().c_str()));
        return timing;
    }
    timing.rate = rate;
    return timing;
}

} // namespace orvane
