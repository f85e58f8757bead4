#include "show/prompts.h"

#include "show/language.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvane {

static void say(std::string_view title, std::string_view text) {
    if (title == kProgramTitle) {
        std::fprintf(stderr, "orvane: %.*s\n", int(text.size()), text.data());
        return;
    }
    std::fprintf(stderr, "orvane: %.*s: %.*s\n", int(title.size()), title.data(), int(text.size()),
                 text.data());
}

void NonInteractivePrompts::message(std::string_view title, std::string_view text, PromptIcon) {
    say(title, text);
}

bool NonInteractivePrompts::askYesNo(std::string_view title, std::string_view text) {
    say(title, text);
    return false;
}

std::optional<std::string>
NonInteractivePrompts::askText(std::string_view title, std::string_view label, std::string_view) {
    say(title, label);
    return std::nullopt;
}

std::optional<std::string> NonInteractivePrompts::askOpenFile(std::string_view title,
                                                              std::string_view,
                                                              std::string_view filter) {
    say(title, filter);
    return std::nullopt;
}

std::optional<std::string> NonInteractivePrompts::askSaveFile(std::string_view title,
                                                              std::string_view,
                                                              std::string_view filter) {
    say(title, filter);
    return std::nullopt;
}

std::optional<uint32_t> NonInteractivePrompts::askColour(uint32_t) {
    say(translate("Prompts", "Color"), translate("Prompts", "colour chooser"));
    return std::nullopt;
}

bool nonInteractiveRequested() {
    const char* v = std::getenv("ORVANE_NONINTERACTIVE");
    return v && std::strcmp(v, "1") == 0;
}

} // namespace orvane
