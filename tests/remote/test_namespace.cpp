// The IP device server as it runs in a venue: TCP port 5555 on all addresses,
// or on the one address the setting "ipdevbind" names; OSC on the address
// "oscbind" names. These tests run in a
// network namespace of their own (a child process that leaves the machine's
// network), so nothing listens on the machine's real network.

#include "remote/oscserver.h"
#include "remote/remotecontrol.h"
#include "sockets.h"
#include "support/oscclient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

bool loopbackUp() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    ifr.ifr_flags |= IFF_UP;
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    ::close(fd);
    return ok;
}

// Runs body in a child process inside a new network namespace with only a
// loopback; the child's exit status: 0 when body returned an empty text,
// else 1 with the text on stderr; 77 when no namespace could be made.
int inNamespace(const std::function<std::string()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNET) != 0 || !loopbackUp())
            ::_exit(77);
        std::string failure = body();
        if (!failure.empty())
            std::fprintf(stderr, "%s\n", failure.c_str());
        std::fflush(stderr);
        ::_exit(failure.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string check(bool ok, const std::string& what) {
    return ok ? std::string() : what;
}

std::string collect(RemoteControl& remote) {
    std::string log;
    remote.setLog([&](std::string_view line, uint32_t) { log += std::string(line) + "\n"; });
    remote.poll(Milliseconds{0});
    remote.setLog(nullptr);
    return log;
}

} // namespace

TEST(IpDeviceServerPort, ListensOnPort5555OnAllAddresses) {
    int status = inNamespace([] {
        RemoteControl remote(RemoteOptions{});
        if (remote.startIpServer() != 0)
            return std::string("no server on 5555");
        Fd a(connectTcp("127.0.0.23", kDevicePort, "127.0.0.1"));
        Fd b(connectTcp("127.0.1.23", kDevicePort, "127.9.9.9"));
        if (a < 0 || b < 0)
            return std::string("a device could not connect");
        waitUntil([&] { return remote.deviceServer().connectedDevices() == 2; });
        remote.ipDevices().sendToDevices(23, "HELLO               ");
        std::string got = readBytes(a, 20) + "|" + readBytes(b, 20);
        std::string log = collect(remote);
        return check(got == "HELLO               |HELLO               ", "sent: " + got) +
               check(log.find("ip ovi server started on port 5555\n") != std::string::npos,
                     "log: " + log) +
               check(log.find("ovi[23] connected\novi[23] connected") != std::string::npos,
                     "log: " + log);
    });
    if (status == 77)
        GTEST_SKIP() << "no network namespace here";
    EXPECT_EQ(status, 0);
}

TEST(IpDeviceServerPort, TheBindSettingKeepsTheServerToOneAddress) {
    int status = inNamespace([] {
        RemoteOptions options;
        options.devices.bindAddress = "127.0.0.2";
        RemoteControl remote(options);
        if (remote.startIpServer() != 0)
            return std::string("no server on 127.0.0.2");
        Fd elsewhere(connectTcp("127.0.0.23", kDevicePort, "127.0.0.1"));
        Fd there(connectTcp("127.0.0.23", kDevicePort, "127.0.0.2"));
        return check(elsewhere < 0, "served on 127.0.0.1") +
               check(there >= 0, "not served on 127.0.0.2");
    });
    if (status == 77)
        GTEST_SKIP() << "no network namespace here";
    EXPECT_EQ(status, 0);
}

TEST(IpDeviceServerPort, AServerThatCannotListenSaysWhy) {
    int status = inNamespace([] {
        RemoteControl first(RemoteOptions{});
        first.startIpServer();
        RemoteControl second(RemoteOptions{});
        RemoteOptions bad;
        bad.devices.bindAddress = "venue-lan";
        RemoteControl third(bad);
        std::string failures;
        for (RemoteControl* r : {&second, &third}) {
            std::string log;
            r->setLog([&](std::string_view line, uint32_t) { log += line; });
            failures += check(r->startIpServer() == -1, "started twice");
            failures += check(!r->ipServerRunning(), "running");
            r->setLog(nullptr);
            if (r == &second)
                failures += check(log == "ip ovi server cannot listen on port 5555: Address "
                                         "already in use",
                                  log);
            else
                failures += check(log == "ip ovi server cannot listen on port 5555: ipdevbind "
                                         "[venue-lan] is not an IPv4 address",
                                  log);
        }
        return failures;
    });
    if (status == 77)
        GTEST_SKIP() << "no network namespace here";
    EXPECT_EQ(status, 0);
}

// OSC opened to the stage network (oscbind=0.0.0.0) answers on every address;
// by default it keeps to loopback's 127.0.0.1.
TEST(OscServerAddress, OpenToEveryAddressOnlyWhenTheSettingSaysSo) {
    int status = inNamespace([] {
        std::string failures;
        for (const char* bind : {"0.0.0.0", "127.0.0.1"}) {
            RemoteCommandRing ring;
            RemoteStateBoard board;
            OscServerOptions options;
            options.port = 9000;
            options.bindAddress = bind;
            OscServer server(options, ring, board);
            std::string error;
            if (!server.start(&error))
                return std::string(bind) + ": " + error;
            OscClient stage("127.0.0.9");
            stage.send(encodeOscMessage("/orvane/go", "", {}), 9000, "127.0.0.2");
            bool served = waitUntil([&] { return !ring.empty(); }, 500);
            bool everywhere = std::string(bind) == "0.0.0.0";
            failures +=
                check(served == everywhere,
                      std::string(bind) + (served ? ": served" : ": not served") + " on 127.0.0.2");
        }
        return failures;
    });
    if (status == 77)
        GTEST_SKIP() << "no network namespace here";
    EXPECT_EQ(status, 0);
}
