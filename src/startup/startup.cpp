#include "startup/startup.h"

#include "show/language.h"

#include <cctype>

namespace orvane {

std::string joinArguments(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

StartOptions parseCommandLine(std::string_view text) {
    StartOptions o;
    size_t step = text.find("STEP=");
    if (step != std::string_view::npos) {
        size_t i = step + 5;
        bool negative = i < text.size() && text[i] == '-';
        if (negative)
            ++i;
        long value = 0;
        bool digits = false;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            digits = true;
            if (value < 1000000)
                value = value * 10 + (text[i] - '0');
        }
        if (digits) {
            o.stepGiven = true;
            o.startStep = int(negative ? -value : value);
        }
    }
    size_t show = text.find("SHOW=");
    if (show != std::string_view::npos)
        o.show = std::string(text.substr(show + 5));
    return o;
}

int chooseStartStep(const StartOptions& options, int remembered) {
    int step = options.stepGiven ? options.startStep : remembered;
    return step > 499 || step < 0 ? 0 : step;
}

std::string mainCaption(std::string_view show, std::string_view outputs) {
    std::string caption = kDialogCaption;
    if (!outputs.empty())
        caption = fillIn(translate("Main window", "%1 - DMX on %2"), {caption, outputs});
    return caption + " " + std::string(show);
}

} // namespace orvane
