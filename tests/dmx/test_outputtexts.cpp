// What the DMX output tells the operator, in each language: counts agree
// with their number, numbers keep their point whatever the language, and the
// texts made from the tick's status are the operator's.

#include "dmx/frametiming.h"
#include "dmx/interfacewatch.h"
#include "dmx/outputchoice.h"
#include "dmx/outputmonitor.h"
#include "dmx/outputtick.h"
#include "show/language.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

using namespace orvane;

namespace {

std::string figures(uint64_t errors, double rateAsked = 0) {
    SinkReading reading;
    reading.errors = errors;
    reading.worstPeriod = Milliseconds{40};
    FrameTiming timing;
    timing.rate = rateAsked;
    return figuresText(24.96, reading, timing);
}

} // namespace

TEST(OutputTexts, CountsAndStatusesReadNaturallyInBothLanguages) {
    struct Case {
        const char* name;
        Language language;
        std::function<std::string()> text;
        std::string expected;
    } cases[] = {
        {"no error", Language::English, [] { return figures(0); },
         "25.0 frames/s, worst 40.0 ms, 0 write errors"},
        {"one error", Language::English, [] { return figures(1); },
         "25.0 frames/s, worst 40.0 ms, 1 write error"},
        {"a rate asked for", Language::English, [] { return figures(2, 25); },
         "25.0 of 25 frames/s, worst 40.0 ms, 2 write errors"},
        {"French, no error: singular", Language::French, [] { return figures(0); },
         "25.0 trames/s, pire 40.0 ms, 0 erreur d'écriture"},
        {"French, one error", Language::French, [] { return figures(1); },
         "25.0 trames/s, pire 40.0 ms, 1 erreur d'écriture"},
        {"French, a rate asked for", Language::French, [] { return figures(2, 25); },
         "25.0 sur 25 trames/s, pire 40.0 ms, 2 erreurs d'écriture"},
        {"French replay status", Language::French,
         [] {
             return statusText(Status{StatusKind::Replaying, 6});
         },
         "relecture dmx raw 6"},
        {"French interface refused", Language::French,
         [] { return interfaceStateText(InterfaceState::Failed, EBUSY); },
         std::string("ouverture impossible : ") + std::strerror(EBUSY)},
        {"French outputs", Language::French,
         [] {
             return describeOutputs(OutputChoice{true, true, 3}, "/dev/ttyUSB0");
         },
         "/dev/ttyUSB0 et univers OLA 3"},
        {"French setting refused, numbers with a point", Language::French,
         [] {
             std::string problem;
             chooseFrameTiming("16,7", "", &problem);
             return problem;
         },
         "Le réglage framerate=16,7 n'est pas un nombre de trames par seconde de 1 à 44 : DMX "
         "envoyé à la cadence habituelle de 16.7 trames/s"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(useLanguage(c.language));
        EXPECT_EQ(c.text(), c.expected) << c.name;
    }
    useLanguage(Language::English);
}
