#include "app/commandline.h"

#include "show/inifile.h"
#include "show/language.h"
#include "show/showfolders.h"
#include "sound/soundbank.h"
#include "startup/showcheck.h"

#include <cstdlib>

namespace orvane {

namespace {

void applyLocationOptions(const CommandOptions& options) {
    if (options.root)
        ::setenv("ORVANE_ROOT", options.root->c_str(), 1);
    if (options.port)
        ::setenv("ORVANE_DMX_PORT", options.port->c_str(), 1);
}

int check(const std::string& show) {
    ProfileFiles profiles;
    std::string root = rootFolder(profiles);
    return runShowCheck(root, show, stdout, stderr);
}

} // namespace

std::optional<int> runWithoutWindow(const CommandOptions& options) {
    switch (options.action) {
    case CommandAction::Help:
        std::fputs(helpText().c_str(), stdout);
        return kExitOk;
    case CommandAction::Version:
        std::fputs(versionText().c_str(), stdout);
        return kExitOk;
    case CommandAction::Error:
        std::fputs(usageErrorText(options.error).c_str(), stderr);
        return kExitUsage;
    case CommandAction::Check:
        applyLocationOptions(options);
        return check(*options.checkShow);
    case CommandAction::Run:
        applyLocationOptions(options);
        return std::nullopt;
    }
    return std::nullopt;
}

int runShowCheck(const std::string& root, const std::string& show, std::FILE* out, std::FILE* err) {
    ShowCheckHooks hooks;
    hooks.previewSounds = [](const std::string& folder) { return previewSoundBank(folder); };
    ShowCheckResult result = checkShow(root, show, hooks);
    if (!result.showFound) {
        std::fprintf(err, "orvane: %s\n", result.missingReason.c_str());
        return kExitUsage;
    }
    for (const std::string& line : reportLines(result.problems))
        std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
    size_t n = result.problems.size();
    // English has its own singular: the counted text is chosen by n, and each
    // carries the French forms.
    std::string count =
        n == 0   ? translate("Show check", "no problem found")
        : n == 1 ? translate("Show check", "%n problem", nullptr, 1)
                 : withGroupedCount(translate("Show check", "%n problems", nullptr, int(n)), n);
    std::fprintf(err, "orvane: %s\n",
                 fillIn(translate("Show check", "show \"%1\": %2"), {show, count}).c_str());
    return n == 0 ? kExitOk : kExitProblems;
}

} // namespace orvane
