#pragma once
// Start-up decisions that need no window: the command line and the start step.

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

struct StartOptions {
    bool stepGiven = false;
    int startStep = -1;
    std::optional<std::string> show; // given by "SHOW=": a chained start
    bool chained() const { return show.has_value(); }
};

// The program's arguments joined with blanks form the command-line text.
std::string joinArguments(int argc, char** argv);

// "STEP=" followed by a decimal number anywhere; "SHOW=" takes the whole rest of
// the text. Both case-sensitive.
StartOptions parseCommandLine(std::string_view text);

// The step to select at start: the "STEP=" value, else the remembered one; a value
// above 499 (or below 0) becomes 0.
int chooseStartStep(const StartOptions& options, int remembered);

// The main window's caption: the program, where DMX goes (the outputs in use:
// "/dev/ttyUSB0", "OLA universe 1"), and the show:
// "orvane 2022.001 - OV - DMX on /dev/ttyUSB0 My show".
std::string mainCaption(std::string_view show, std::string_view outputs);
constexpr const char* kDialogCaption = "orvane 2022.001 - OV";

} // namespace orvane
