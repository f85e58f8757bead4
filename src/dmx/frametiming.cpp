#include "dmx/frametiming.h"

#include "show/language.h"
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
    return fillIn(translate("Frame timing", "DMX goes out at the usual %1 frames/s"),
                  {rateText(kUsualFrameRate)});
}

Microseconds readBreak(std::string_view text, std::string* problem) {
    double us = 0;
    if (readDecimal(text, us) && us == std::floor(us) && us >= double(kMinBreak.count()) &&
        us <= double(kMaxBreak.count()))
        return Microseconds{int64_t(us)};
    addProblem(problem,
               fillIn(translate("Frame timing", "Setting breakus=%1 is not a break of "
                                                "%2 to %3 µs: a %4 µs break is used"),
                      {text, std::to_string(kMinBreak.count()), std::to_string(kMaxBreak.count()),
                       std::to_string(kDefaultBreak.count())}));
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
        addProblem(
            problem,
            fillIn(translate("Frame timing", "Setting framerate=%1 is not a number of frames per "
                                             "second from %2 to %3: %4"),
                   {name, rateText(kMinFrameRate), rateText(kMaxFrameRate), usualCadenceText()}));
        return timing;
    }
    // Rounded down: the limit the message names is a rate that is taken.
    double limit = std::floor(wireLimit(timing.breakTime) * 10 + 1e-9) / 10;
    if (rate > wireLimit(timing.breakTime)) {
        addProblem(problem,
                   fillIn(translate("Frame timing", "Setting framerate=%1 is more than the DMX "
                                                    "line carries: at most %2 frames/s with a %3 "
                                                    "µs break. %4"),
                          {name, rateText(limit), std::to_string(timing.breakTime.count()),
                           usualCadenceText()}));
        return timing;
    }
    timing.rate = rate;
    return timing;
}

} // namespace orvane
