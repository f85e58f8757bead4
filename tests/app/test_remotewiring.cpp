// The remote side in a real main window (offscreen, in this test program's own
// network namespace): the device server on port 5555 and its log, the system
// socket moving the head windows' sliders, "Use IP devices" failing.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "console/controlids.h"
#include "fixtures/fixturerig.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/sharedtick.h"

#include <QCoreApplication>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

int connectLocal(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ? fd : -1;
}

int connectDevice(const char* from) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    remote.sin_port = htons(5555);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 ? fd : -1;
}

// Runs the window's events until pred holds, draining the line. The bound is
// a guard against a hang, far above what a loaded machine needs.
bool spinUntil(PtyPair& pty, const std::function<bool()>& pred) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        pty.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string le16(int v) {
    return {char(v), char(v >> 8)};
}

} // namespace

TEST(RemoteWiring, DevicesAreLoggedAndTheSystemSocketMovesTheHeads) {
    testApp();
    TempDir root, config;
    ::mkdir(root.file("show").c_str(), 0755);
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::setenv("ORVANE_PIPE_DIR", root.file("pipes").c_str(), 1);
    ::setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
    ::setenv("ORVANE_LINK_HOST", "127.0.0.1", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    StartOptions options; // not chained: DMX and the device server start at once
    {
        COrvaneDlg main(profiles, prompts, root.path(), "show", options);
        main.OnInitDialog();
        auto* log = qobject_cast<QTextEdit*>(main.widget(console::kLog));
        ASSERT_TRUE(log);
        auto logged = [&](const char* text) { return log->toPlainText().contains(text); };

        // Idle, the ticks rest: what the server and output threads receive
        // must wake them.
        ASSERT_TRUE(spinUntil(pty, [] { return SharedTick::resting(); }));
        int device = connectDevice("127.0.0.23");
        ASSERT_GE(device, 0);
        EXPECT_TRUE(spinUntil(pty, [&] { return logged("ovi[23] connected"); }))
            << log->toPlainText().toStdString();
        EXPECT_TRUE(logged("ip ovi server started on port 5555"));
        ::close(device);

        // Code 2: head 3 gets pan 40000, tilt 1234, misc 5, colour 6, speed 7.
        std::string command("\x02\x00\x00\x00", 4);
        for (int head = 2; head <= 5; ++head)
            command += head == 3 ? le16(40000) + le16(1234) + "\x05\x06\x07"
                                 : le16(100) + le16(200) + std::string("\x01\x02\x03", 3);
        int system = connectLocal(root.file("pipes/orvanesystemserver"));
        ASSERT_GE(system, 0);
        ASSERT_TRUE(spinUntil(pty, [&] { return logged("client connected"); }));
        ASSERT_TRUE(spinUntil(pty, [] { return SharedTick::resting(); }));
        MovingHeadController* head3 = main.tools()->fixtures()->head(3);
        ASSERT_TRUE(head3);
        ASSERT_EQ(::send(system, command.data(), command.size(), MSG_NOSIGNAL), 32);
        EXPECT_TRUE(spinUntil(pty, [&] { return head3->controls().pos(1025) == 40000; }));
        EXPECT_EQ(head3->controls().pos(1026), 1234);
        EXPECT_EQ(head3->controls().pos(1028), 5);
        EXPECT_EQ(head3->controls().pos(1029), 6);
        EXPECT_EQ(head3->controls().pos(1027), 7);
        ::close(system);

        // Nothing listens on the link port here.
        main.controls().click(console::kIpLink);
        EXPECT_FALSE(main.controls().checked(console::kIpLink));
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown.back().text, "Cannot connect to 127.0.0.1");
        EXPECT_TRUE(logged("ip link cannot connect to 127.0.0.1 port 9876: Connection refused"));
    }
    for (const char* name :
         {"XDG_CONFIG_HOME", "ORVANE_PIPE_DIR", "ORVANE_DMX_PORT", "ORVANE_LINK_HOST"})
        ::unsetenv(name);
}
