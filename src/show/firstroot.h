#pragma once
// The first start of an installed orvane: the root folder of the shows does
// not exist yet. The default root (~/orvane) is made, with a copy of the demo
// show the installation ships (<prefix>/share/orvane/demo, found beside
// <prefix>/bin/orvane), so the chooser offers a show that runs and "New show"
// has a folder to create shows in. A root named by ORVANE_ROOT, --root or the
// setting "root" is never made: it may be a disk that is not mounted.
// User-interface thread only.

#include <string>

namespace orvane {

class ProfileFiles;

// True when the root is ~/orvane: neither ORVANE_ROOT nor the setting "root".
bool rootIsDefault(ProfileFiles& profiles);

// The demo show installed beside the program at programPath, or "" when there
// is none (a program run from its build folder).
std::string installedDemoShow(const std::string& programPath);

// The path of the running program.
std::string runningProgramPath();

struct FirstRoot {
    bool created = false; // the root was made now
    bool demoCopied = false;
    std::string error; // what failed, with the path and the reason; "" when nothing did
};

// Makes root when it does not exist and copies the show folder demo into it
// as "demo" (demo "" copies nothing). A root that exists is left untouched;
// one that is no folder or cannot be looked at is an error.
FirstRoot prepareFirstRoot(const std::string& root, const std::string& demo);

} // namespace orvane
