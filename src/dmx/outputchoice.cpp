#include "dmx/outputchoice.h"

#include "show/language.h"
#include "show/textutil.h"

#include <cstdint>

namespace orvane {

namespace {

// "serial", "ola" or both joined by '+'; false for anything else.
bool readOutputs(std::string_view text, OutputChoice& choice) {
    bool serial = false, ola = false;
    while (true) {
        std::size_t plus = text.find('+');
        std::string_view word = trimBlanks(text.substr(0, plus));
        if (equalsIgnoreCase(word, "serial") && !serial)
            serial = true;
        else if (equalsIgnoreCase(word, "ola") && !ola)
            ola = true;
        else
            return false;
        if (plus == std::string_view::npos)
            break;
        text.remove_prefix(plus + 1);
    }
    choice.serial = serial;
    choice.ola = ola;
    return true;
}

// Decimal digits only, within an OLA universe number's 32 bits.
bool readUniverse(std::string_view text, unsigned& universe) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + uint64_t(c - '0');
    }
    if (value > UINT32_MAX)
        return false;
    universe = unsigned(value);
    return true;
}

void addProblem(std::string* problem, const std::string& line) {
    if (!problem)
        return;
    if (!problem->empty())
        *problem += "\n";
    *problem += line;
}

} // namespace

OutputChoice chooseOutputs(std::string_view output, std::string_view olaUniverse,
                           std::string* problem) {
    OutputChoice choice;
    output = trimBlanks(output);
    if (!output.empty() && !readOutputs(output, choice))
        addProblem(problem, fillIn(translate("Output choice",
                                             "Setting output=%1 is not serial, ola or "
                                             "serial+ola: DMX goes to the serial line only"),
                                   {output}));
    olaUniverse = trimBlanks(olaUniverse);
    if (!olaUniverse.empty() && !readUniverse(olaUniverse, choice.olaUniverse))
        addProblem(problem, fillIn(translate("Output choice",
                                             "Setting olauniverse=%1 is not a universe number "
                                             "(0 to 4294967295): OLA universe 1 is used"),
                                   {olaUniverse}));
    return choice;
}

std::string describeOutputs(const OutputChoice& choice, std::string_view serialDevice) {
    std::string ola =
        fillIn(translate("Output choice", "OLA universe %1"), {std::to_string(choice.olaUniverse)});
    if (choice.serial && choice.ola)
        return fillIn(translate("Output choice", "%1 and %2"), {serialDevice, ola});
    return choice.serial ? std::string(serialDevice) : choice.ola ? ola : std::string();
}

} // namespace orvane
