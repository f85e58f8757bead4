#pragma once
// Which outputs carry the composed universe, from the profile's [settings]:
// "output" = "serial" (the default), "ola" or "serial+ola" (in any case and
// order), and "olauniverse", the OLA universe number (default 1). Pure logic.

#include <string>
#include <string_view>

namespace orvane {

struct OutputChoice {
    bool serial = true;
    bool ola = false;
    unsigned olaUniverse = 1;

    bool operator==(const OutputChoice&) const = default;
};

// Reads both settings. A value that is not understood leaves its default in
// place and is described in *problem (one line per setting, for the operator).
OutputChoice chooseOutputs(std::string_view output, std::string_view olaUniverse,
                           std::string* problem);

// Where DMX goes, for the main window's caption: "/dev/ttyUSB0",
// "OLA universe 1", or both joined by " and ".
std::string describeOutputs(const OutputChoice& choice, std::string_view serialDevice);

} // namespace orvane
