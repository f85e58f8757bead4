// The tool windows as the main window opens them, in-process and offscreen.

#include "app/orvanedlg.h"
#include "console/controlids.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/easyshowbuilder.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;

TEST(EasyShowBuilderButton, CommitsFirstOpensOnTheCurrentStepAndShowsItAfter) {
    testApp();
    test::TempDir root, config;
    std::filesystem::create_directories(root.file("show/step0"));
    std::filesystem::create_directories(config.file("orvane"));
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("ORVANE_DMX_PORT", root.file("no-interface").c_str(), 1);
    setenv("ORVANE_PIPE_DIR", root.file("pipes").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ProfileFiles profiles;
    test::ScriptedPrompts prompts;
    StartOptions options;
    options.stepGiven = true;
    options.startStep = 12;
    {
        COrvaneDlg main(profiles, prompts, root.path(), "show", options);
        main.OnInitDialog();
        ASSERT_EQ(main.session().currentStep(), 12);
        main.controls().setPos(console::kMaster, 255 - 77); // not stored yet

        int firstVisible = -1;
        StepRecord whenOpen;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<easyshowbuilder*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle(), "Easy show builder");
            firstVisible = window->model().firstVisible();
            main.session().store().LoadStep(12, whenOpen);
            StepRecord changed = whenOpen;
            changed.name = "changed in the builder";
            main.session().store().SaveStep(12, changed);
            window->reject();
        });
        main.controls().click(console::kEasyShowBuilder);
        EXPECT_EQ(firstVisible, 12);
        EXPECT_EQ(whenOpen.master, 77) << "the console was stored before the builder opened";
        EXPECT_EQ(main.controls().text(console::kStepName), "changed in the builder")
            << "the current step is shown again after it closed";
    }
    for (const char* name : {"XDG_CONFIG_HOME", "ORVANE_DMX_PORT", "ORVANE_PIPE_DIR"})
        unsetenv(name);
}
