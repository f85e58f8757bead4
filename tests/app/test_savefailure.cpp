// The main window's Quit and close box when the show cannot be saved: the
// operator is told the file and the reason, then asked whether to quit anyway
// (default No), so the show can be saved again once the folder is fixed.

#include "app/orvanedlg.h"
#include "support/privatemounts.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

TEST(SaveFailure, QuitAndCloseAskBeforeLeavingAnUnsavedShow) {
    if (!inPrivateMounts())
        return;
    testApp();
    TempDir root, config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::setenv("ORVANE_DMX_PORT", config.file("no-such-port").c_str(), 1);
    ::setenv("ORVANE_PIPE_DIR", config.file("pipes").c_str(), 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string folder = root.file("ro");
    ::mkdir(folder.c_str(), 0755);
    const std::string show = "[GLOBAL]\r\nmanualstep=1\r\n0$name=keep\r\n";
    writeFile(folder + "/dmx.ini", show);
    ASSERT_TRUE(bindReadOnly(folder));

    ProfileFiles profiles;
    ScriptedPrompts prompts;
    StartOptions options;
    COrvaneDlg dlg(profiles, prompts, root.path(), "ro", options);
    dlg.OnInitDialog();
    prompts.shown.clear();

    auto saidWith = [&](const std::string& part) {
        for (const auto& s : prompts.shown)
            if (s.text.find(part) != std::string::npos)
                return true;
        return false;
    };
    dlg.Quit(); // No, the default: the program stays
    EXPECT_FALSE(dlg.ended());
    EXPECT_TRUE(saidWith(folder + "/dmx.ini: " + std::strerror(EROFS)));
    EXPECT_TRUE(saidWith("Quit anyway"));
    prompts.shown.clear();
    dlg.close(); // the close box: the same
    EXPECT_FALSE(dlg.ended());
    EXPECT_TRUE(saidWith("Quit anyway"));
    EXPECT_EQ(readFile(folder + "/dmx.ini"), show);

    prompts.yesNo = {true};
    dlg.Quit();
    EXPECT_TRUE(dlg.ended());
    dlg.OnDestroy();
}
