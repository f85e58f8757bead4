#pragma once
// A main window on an empty demo show, in-process and offscreen, with every
// tool window it opens: the scanners and heads, the timeline, global colour,
// manual mode and show time. For tests that look at all the windows at once.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>

namespace orvane::test {

struct ConsoleWithToolWindows {
    ConsoleWithToolWindows() {
        testApp();
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-test", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::filesystem::create_directories(root.file("demo/step0"));
        StartOptions options;
        options.show = "demo";
        dlg = std::make_unique<COrvaneDlg>(profiles, prompts, root.path(), "demo", options);
        dlg->OnInitDialog();
        dlg->tools()->toggleTimeline();
        dlg->tools()->toggleGlobalColour();
        dlg->tools()->toggleManualMode();
        dlg->tools()->openShowTime(0, 0);
        QApplication::processEvents();
    }
    ~ConsoleWithToolWindows() { dlg->OnDestroy(); }

    TempDir root, config;
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    std::unique_ptr<COrvaneDlg> dlg;
};

} // namespace orvane::test
