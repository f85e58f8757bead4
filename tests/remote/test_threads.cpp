// The remote side under the real output thread: the window's thread closes
// and opens pipes and the link while ticks use them (run under
// ThreadSanitizer by `make tsan`).

#include "dmx/dmxoutput.h"
#include "remote/remotecontrol.h"
#include "sockets.h"
#include "support/nullline.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {} // namespace

TEST(RemoteThreads, PipesAndTheLinkOpenAndCloseUnderTheRunningTick) {
    TempDir dir;
    uint16_t port = 0;
    Fd host(listenLoopback(&port));
    RemoteOptions options;
    options.pipeFolder = dir.file("pipes");
    options.linkHost = "127.0.0.1";
    options.linkPort = port;
    RemoteControl remote(options);
    remote.setLog([](std::string_view, uint32_t) {});
    NullLine line;
    DmxOutputOptions o;
    o.hooks = &remote.tickHooks();
    o.dmxPortSetting = [] { return std::string("quiet"); };
    DmxOutput output(line, o);
    ASSERT_EQ(output.start(), 0);

    std::string frame(512, '\x2a');
    std::string command("\x01\x00\x00\x00", 4);
    command += std::string(16, '\x10');
    for (int round = 0; round < 20; ++round) {
        remote.createPipeServers();
        Fd frames(connectLocal(dir.file("pipes/orvanepipeserver")));
        Fd system(connectLocal(dir.file("pipes/orvanesystemserver")));
        ASSERT_GE(frames, 0);
        ASSERT_GE(system, 0);
        sendAll(frames, frame);
        sendAll(system, command);
        std::thread accept([&] {
            Fd peer(acceptWithin(host, 2000));
            sendAll(peer, "OK");
            readQuiet(peer, 40);
        });
        EXPECT_TRUE(remote.openIpLink());
        std::this_thread::sleep_for(std::chrono::milliseconds(35));
        remote.poll(Milliseconds{round * 100});
        remote.closeIpLink();
        accept.join();
        remote.closeFramePipe();
        remote.link().close();
    }
    output.stopTick();
}
