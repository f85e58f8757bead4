// The remote surfaces in a real main window (offscreen, in this test
// program's own network namespace): commands from the ring act on the console
// even while its ticks rest, the state reaches the board, the indicator says
// where OSC listens, and OSC over loopback drives the show.

#include "app/orvanedlg.h"
#include "app/remotesurfaces.h"
#include "console/controlids.h"
#include "support/oscclient.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/sharedtick.h"

#include <QCoreApplication>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

// Runs the window's events until pred holds (at most 5 s), draining the line.
bool spinUntil(PtyPair& pty, const std::function<bool()>& pred) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        pty.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A show of captioned steps and a profile with the given settings lines.
struct Stage {
    TempDir root, config;
    PtyPair pty;
    ProfileFiles profiles;
    ScriptedPrompts prompts;

    explicit Stage(const std::string& settings) {
        testApp();
        std::filesystem::create_directories(root.file("show/step0"));
        std::filesystem::create_directories(config.file("orvane"));
        writeFile(root.file("show/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n"
                                             "0$name=Doors\r\n0$fadet=0\r\n"
                                             "1$name=Overture\r\n1$master=255\r\n1$1=200\r\n"
                                             "3$name=Act one\r\n4$name=Storm\r\n");
        writeFile(config.file("orvane/profile.ini"), "[settings]\r\n" + settings);
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        ::setenv("ORVANE_PIPE_DIR", root.file("pipes").c_str(), 1);
        ::setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    ~Stage() {
        for (const char* name : {"XDG_CONFIG_HOME", "ORVANE_PIPE_DIR", "ORVANE_DMX_PORT"})
            ::unsetenv(name);
    }
};

std::string logText(COrvaneDlg& main) {
    auto* log = qobject_cast<QTextEdit*>(main.widget(console::kLog));
    return log ? log->toPlainText().toStdString() : std::string();
}

} // namespace

TEST(RemoteSurfaces, ACommandWakesTheRestingTicksAndTheStateFollows) {
    Stage s("");
    COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
    main.OnInitDialog();
    RemoteSurfaces& surfaces = *main.surfaces();
    EXPECT_EQ(main.controls().text(console::kRemoteSurfaces), "OSC: off  Web: off");
    ASSERT_TRUE(spinUntil(s.pty, [] { return SharedTick::resting(); }));
    ASSERT_EQ(surfaces.board().latest().caption, "Doors");

    // From another thread, as a server pushes it.
    std::thread([&] { surfaces.ring().push({RemoteVerb::Step, 3}); }).join();
    ASSERT_TRUE(spinUntil(s.pty, [&] { return surfaces.board().latest().step == 3; }));
    RemoteState state = surfaces.board().latest();
    EXPECT_EQ(main.controls().text(console::kStepNumber), "3");
    EXPECT_EQ(state.caption, "Act one");
    EXPECT_EQ(state.next, 4);
    EXPECT_EQ(state.nextCaption, "Storm");
    // Publishing keeps nothing awake: the ticks rest again, the state as it was.
    uint64_t version = surfaces.board().version();
    EXPECT_TRUE(spinUntil(s.pty, [] { return SharedTick::resting(); }));
    EXPECT_EQ(surfaces.board().version(), version);

    // A command that does nothing says so in the log.
    surfaces.ring().push({RemoteVerb::Step, 4});
    surfaces.ring().push({RemoteVerb::Fader, 25, 1.0f});
    EXPECT_TRUE(spinUntil(s.pty, [&] {
        return logText(main).find("Remote fader 25 1.00 did nothing: there is no level fader 25") !=
               std::string::npos;
    })) << logText(main);
    EXPECT_EQ(main.controls().text(console::kStepNumber), "4");
}

TEST(RemoteSurfaces, TheLightOfTheStepAGoMakesCurrentIsComposedWhenTheRemotesHearOfIt) {
    Stage s("");
    COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
    main.OnInitDialog();
    RemoteSurfaces& surfaces = *main.surfaces();
    ASSERT_TRUE(spinUntil(s.pty, [] { return SharedTick::resting(); }));
    // Step 0's fade of no time ends in the round after the go and makes step 1
    // current; its level 1 is already in the universe when the state says so.
    int levelWhenHeard = -1;
    surfaces.board().onChange([&] {
        if (surfaces.board().latest().step == 1 && levelWhenHeard < 0)
            levelWhenHeard = main.mainTimer().output()[0];
    });
    surfaces.ring().push({RemoteVerb::Go});
    ASSERT_TRUE(spinUntil(s.pty, [&] { return levelWhenHeard >= 0; }));
    EXPECT_EQ(levelWhenHeard, 200);
}

TEST(RemoteSurfaces, OscOnLoopbackDrivesTheShowAndTheIndicatorSaysWhere) {
    Stage s("oscport=9000\r\n");
    COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
    main.OnInitDialog();
    EXPECT_EQ(main.controls().text(console::kRemoteSurfaces), "OSC: 127.0.0.1:9000  Web: off");
    EXPECT_NE(logText(main).find("OSC: listening on 127.0.0.1:9000"), std::string::npos);

    OscClient client;
    client.send("/orvane/subscribe", 9000);
    std::optional<OscMessage> step;
    ASSERT_TRUE(spinUntil(s.pty, [&] { return (step = client.receive(0)).has_value(); }));
    EXPECT_EQ(step->address, "/orvane/state/step");
    ASSERT_TRUE(spinUntil(s.pty, [] { return SharedTick::resting(); }));

    client.send("/orvane/step", 9000, "i", {{1}});
    EXPECT_TRUE(
        spinUntil(s.pty, [&] { return main.controls().text(console::kStepNumber) == "1"; }));
    // The subscriber hears of the new step (after what it was owed before).
    std::optional<OscMessage> news;
    ASSERT_TRUE(spinUntil(s.pty, [&] {
        news = client.receive(0);
        return news && news->address == "/orvane/state/step" && news->args.size() == 2 &&
               news->args[0].i == 1;
    }));
    EXPECT_EQ(news->args[1].s, "Overture");
}

TEST(RemoteSurfaces, SettingsThatCannotBeUsedLeaveOscOffAndSaySo) {
    struct Case {
        const char* name;
        std::string settings;
        std::string indicator;
        std::string logged;
    };
    // A port another program holds.
    OscClient holder;
    sockaddr_in taken{};
    socklen_t length = sizeof taken;
    ::getsockname(holder.fd(), reinterpret_cast<sockaddr*>(&taken), &length);
    std::string busyPort = std::to_string(ntohs(taken.sin_port));
    const Case cases[] = {
        {"not a number", "oscport=nine\r\n", "OSC: off  Web: off",
         "OSC stays off: oscport \"nine\" is not a port number 1-65535"},
        {"not an address", "oscport=9000\r\noscbind=stage\r\n", "OSC: off  Web: off",
         "OSC stays off: oscbind \"stage\" is not an IPv4 address"},
        {"port taken", "oscport=" + busyPort + "\r\n",
         "OSC: 127.0.0.1:" + busyPort + " failed (Address already in use)  Web: off",
         "OSC: cannot listen on 127.0.0.1:" + busyPort + ": Address already in use"},
        {"web port not a number", "webport=http\r\n", "OSC: off  Web: off",
         "Web: webport \"http\" is not a port number (1-65535): the web remote is off"},
    };
    for (const Case& c : cases) {
        Stage s(c.settings);
        COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
        main.OnInitDialog();
        EXPECT_EQ(main.controls().text(console::kRemoteSurfaces), c.indicator) << c.name;
        EXPECT_NE(logText(main).find(c.logged), std::string::npos) << c.name << logText(main);
    }
}
