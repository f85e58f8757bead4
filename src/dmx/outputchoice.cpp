#include "dmx/outputchoice.h"

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
        addProblem(problem, format("Setting output=%.*s is not serial, ola or serial+ola: "
                                   "DMX goes to the serial line only",
                                   int(output.size()), output.data()));
    olaUniverse = trimBlanks(olaUniverse);
    if (!olaUniverse.empty() && !readUniverse(olaUniverse, choice.olaUniverse))
        addProblem(problem, format("Setting olauniverse=%.*s is not a universe number "
                                   "(0 to 4294967295): OLA universe 1 is used",
                                   int(olaUniverse.size()), olaUniverse.data()));
    return choice;
}

std::string describeOutputs(const OutputChoice& choice, std::string_view serialDevice) {
    std::string text;
    if (choice.serial)
        text = std::string(serialDevice);
    if (choice.ola) {
        if (!text.empty())
            text += " and ";
        text += format("OLA universe %u", choice.olaUniverse);
    }
    return text;
}

} // namespace orvane
