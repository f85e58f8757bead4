#pragma once
// The command-line options handled before any window exists: --help,
// --version, --check and usage errors end the program here; --root and
// --port become the settings the start-up reads. Needs no display.

#include "startup/commandoptions.h"

#include <cstdio>
#include <optional>
#include <string>

namespace orvane {

// The exit status when the program ends without a window, nothing when the
// main window is to run. --root and --port are applied first (as ORVANE_ROOT
// and ORVANE_DMX_PORT, so a chained instance keeps them too).
std::optional<int> runWithoutWindow(const CommandOptions& options);

// The pre-show check of `show` in `root`: one line per problem on out, a
// summary or the reason a show is missing on err. 0 clean, 1 problems, 2 no
// such show.
int runShowCheck(const std::string& root, const std::string& show, std::FILE* out, std::FILE* err);

} // namespace orvane
