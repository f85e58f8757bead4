#pragma once
// An IP device server on loopback (a free port on 127.0.0.1) with a manual
// clock, and devices connecting from chosen 127.x.y.z addresses.

#include "remote/ipdeviceserver.h"
#include "sockets.h"
#include "support/manualclock.h"
#include "support/tempdir.h"

#include <atomic>
#include <string>
#include <vector>

namespace orvane::test {

struct DeviceRig {
    explicit DeviceRig(IpDeviceServerOptions options = {}, bool manualClock = true);

    // A device connected from address and taken into the table.
    Fd device(const char* address, int rcvbuf = 0);
    // Timer 1235 after `advanceMs` more milliseconds; returns once it was served.
    void keepAlive(int64_t advanceMs);
    // send(), then waits until the server has done it.
    int send(int device, std::string_view text);
    std::vector<LogLine>& collect();
    bool logHas(const std::string& text);
    int logCount(const std::string& text);
    static std::string padded(std::string_view text);

    TempDir dir;
    ManualClock clock{5000000ms};
    IpDeviceServer server;
    std::vector<LogLine> log;
};

} // namespace orvane::test
