#pragma once
// The command line's options in the usual "--name value" form. They are taken
// out first; every other word (the historic STEP= and SHOW= words, Qt's own
// single-dash options) is left, in order, for the start-up as before. Pure logic.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class CommandAction { Run, Help, Version, Check, Error };

struct CommandOptions {
    CommandAction action = CommandAction::Run;
    std::optional<std::string> root;      // --root DIR
    std::optional<std::string> port;      // --port DEVICE
    std::optional<std::string> checkShow; // --check SHOW
    std::vector<std::string> words;       // everything else, in order
    std::string error;                    // for CommandAction::Error
};

// Exit statuses of the options handled without a window.
constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

// args are the program's arguments without the program name. Options stop at
// "--" and at the first word holding "SHOW=" (the show name runs to the end of
// the command line and may hold anything). "--name=value" and "--name value"
// are both accepted. An unknown "--" option, an unknown single-dash word that
// is not one of Qt's options, or an option without its value is an error.
CommandOptions parseCommandOptions(const std::vector<std::string>& args);

// The version, a plain semantic version (major.minor.patch).
const char* orvaneVersion();

// "--version" prints this line.
std::string versionText();
// "--help" prints this text.
std::string helpText();
// The message of a command-line error, then how to get help.
std::string usageErrorText(std::string_view error);

} // namespace orvane
