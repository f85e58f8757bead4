#include "devicerig.h"

#include <algorithm>

namespace orvane::test {

namespace {

IpDeviceServerOptions loopback(IpDeviceServerOptions o, DeviceRig& rig, bool manualClock) {
    o.port = 0;
    o.bindAddress = "127.0.0.1";
    o.fileFolder = rig.dir.path();
    if (manualClock)
        o.clock = &rig.clock;
    return o;
}

} // namespace

DeviceRig::DeviceRig(IpDeviceServerOptions options, bool manualClock)
    : server(loopback(options, *this, manualClock)) {
    server.start();
}

Fd DeviceRig::device(const char* address, int rcvbuf) {
    int before = server.connectedDevices();
    Fd fd(connectTcp(address, server.port(), "127.0.0.1", rcvbuf));
    waitUntil([&] { return server.connectedDevices() > before; });
    return fd;
}

void DeviceRig::keepAlive(int64_t advanceMs) {
    clock.advance(Milliseconds{advanceMs});
    server.keepAlive();
    server.flush();
}

int DeviceRig::send(int device, std::string_view text) {
    int rc = server.send(device, text);
    server.flush();
    return rc;
}

std::vector<LogLine>& DeviceRig::collect() {
    for (LogLine& l : server.takeLog())
        log.push_back(std::move(l));
    return log;
}

bool DeviceRig::logHas(const std::string& text) {
    return logCount(text) > 0;
}

int DeviceRig::logCount(const std::string& text) {
    collect();
    return int(std::count_if(log.begin(), log.end(), [&](const LogLine& l) {
        return l.text.find(text) != std::string::npos;
    }));
}

std::string DeviceRig::padded(std::string_view text) {
    std::string s(text);
    s.resize(kDeviceTextSize, ' ');
    return s;
}

} // namespace orvane::test
