// The remote side as the main window sees it: what it logs when a part of it
// is missing or fails.

#include "remote/remotecontrol.h"
#include "sockets.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

std::vector<std::string> texts(const std::vector<LogLine>& log) {
    std::vector<std::string> out;
    for (const LogLine& l : log)
        out.push_back(l.text);
    return out;
}

} // namespace

TEST(RemoteControl, LinesBeforeTheLogExistsAreHandedOverWhenItComes) {
    TempDir dir;
    ::mkdir(dir.file("pipes").c_str(), 0777);
    ::chmod(dir.file("pipes").c_str(), 0777);
    RemoteOptions options;
    options.pipeFolder = dir.file("pipes");
    RemoteControl remote(options);
    remote.createPipeServers(); // refused: others may write to the folder
    remote.ipDevices().sendToDevices(kAllDevices, "HELLO               ");
    std::vector<LogLine> log;
    remote.setLog([&](std::string_view line, uint32_t colour) {
        log.push_back({std::string(line), colour});
    });
    std::string refused = " cannot listen: " + dir.file("pipes") +
                          " may be written by other users; trying again every second";
    EXPECT_EQ(texts(log), (std::vector<std::string>{
                              "pipe orvanepipeserver" + refused,
                              "pipe orvanesystemserver" + refused,
                              "ip ovi server not running, [HELLO               ] not sent",
                          }));
    for (const LogLine& l : log)
        EXPECT_EQ(l.colour, kLogDarkRed);

    // Retried every second, logged once.
    remote.poll(Milliseconds{1000});
    remote.poll(Milliseconds{2000});
    EXPECT_EQ(log.size(), 3u);
    ::chmod(dir.file("pipes").c_str(), 0700);
    remote.poll(Milliseconds{3000});
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[3].text, "pipe orvanepipeserver ready at " + dir.file("pipes/orvanepipeserver"));
    EXPECT_GE(Fd(connectLocal(dir.file("pipes/orvanesystemserver"))), 0);
}

TEST(RemoteControl, ADeviceServerThatCannotListenSaysWhy) {
    RemoteOptions options;
    options.devices.port = 0;
    options.devices.bindAddress = "192.0.2.1"; // not an address of this machine
    RemoteControl remote(options);
    std::vector<std::string> log;
    remote.setLog([&](std::string_view line, uint32_t) { log.emplace_back(line); });
    EXPECT_EQ(remote.startIpServer(), -1);
    EXPECT_FALSE(remote.ipServerRunning());
    EXPECT_EQ(log, (std::vector<std::string>{
                       "ip ovi server cannot listen on port 0: Cannot assign requested address"}));
}
