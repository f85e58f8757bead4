#pragma once
// Everything that asks the operator something goes through this interface, so
// logic runs without widgets and tests answer prompts by script.
// User-interface thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The title of the program's own messages.
constexpr const char* kProgramTitle = "orvane";

enum class PromptIcon { None, Information, Warning, Error, Stop };

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message with an OK button.
    virtual void message(std::string_view title, std::string_view text, PromptIcon icon) = 0;
    // Yes/No; the default answer is No.
    virtual bool askYesNo(std::string_view title, std::string_view text) = 0;
    // A line of text; nothing when cancelled (the default).
    virtual std::optional<std::string> askText(std::string_view title, std::string_view label,
                                               std::string_view initial) = 0;
    // A file to open or to save; nothing when cancelled (the default).
    virtual std::optional<std::string> askOpenFile(std::string_view title, std::string_view folder,
                                                   std::string_view filter) = 0;
    virtual std::optional<std::string> askSaveFile(std::string_view title, std::string_view folder,
                                                   std::string_view filter) = 0;
    // A colour (0x00BBGGRR); nothing when cancelled (the default).
    virtual std::optional<uint32_t> askColour(uint32_t initial) = 0;
};

// Writes every prompt to stderr as "orvane: <title>: <text>" and takes the
// default answer (OK, No, Cancel). Used when ORVANE_NONINTERACTIVE=1.
class NonInteractivePrompts : public Prompts {
public:
    void message(std::string_view title, std::string_view text, PromptIcon icon) override;
    bool askYesNo(std::string_view title, std::string_view text) override;
    std::optional<std::string> askText(std::string_view title, std::string_view label,
                                       std::string_view initial) override;
    std::optional<std::string> askOpenFile(std::string_view title, std::string_view folder,
                                           std::string_view filter) override;
    std::optional<std::string> askSaveFile(std::string_view title, std::string_view folder,
                                           std::string_view filter) override;
    std::optional<uint32_t> askColour(uint32_t initial) override;
};

bool nonInteractiveRequested(); // ORVANE_NONINTERACTIVE=1

} // namespace orvane
