#pragma once
// The IP device server: TCP port 5555, up to 128 devices (players and effect
// boxes), each known by its device number, the last octet of its address.
// Steps send them 20-character commands (VEDA=), optionally followed by an
// image or a video file; a device can be put to sleep and woken; every device
// that is neither sleeping nor waiting for its answer to a file gets "ALIVE"
// + 15 spaces every second; what the devices say goes to the window's log.
//
// All the socket work runs on the server's own thread, one epoll loop for
// every device, so a silent or slow device never holds up the others and the
// user-interface thread never waits for a device: it only posts what is to be
// sent and collects the log lines. A 50 MB video to a slow device goes out
// piece by piece as the device takes it.
//
// Against misbehaving peers: a connection that finds all 128 places taken is
// closed at once; a device that sends more than it should is read at a bounded
// rate; its text is shown up to its first NUL byte with control bytes made
// visible; repeated lines from one device are summarised, and the whole log is
// held to a burst and a rate; a device that stops reading is dropped before its
// queue grows without bound; files being sent have a memory ceiling.
//
// Thread: every public member is for the user-interface thread.

#include "core/clock.h"
#include "playback/extracommands.h"
#include "remote/devicelog.h"
#include "remote/devicetexts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

constexpr int kBadDeviceText = -123;

struct IpDeviceServerOptions {
    uint16_t port = kDevicePort; // 0: any free port (tests, benchmarks)
    // The local IPv4 address to listen on (setting "ipdevbind"); empty: all.
    std::string bindAddress;
    // Where relative UCIM/UCVI file names are looked up; empty: the working folder.
    std::string fileFolder;
    // Read on the server's thread; the program's monotonic clock when null.
    const Clock* clock = nullptr;
    size_t fileBytesLimit = size_t(1) << 30; // all files being sent at one time
    int logBurst = 200;
    int logPerSecond = 20;
    size_t readBytesPerSecond = 64 * 1024; // per device
};

class IpDeviceServer : public IpDevices {
public:
    explicit IpDeviceServer(IpDeviceServerOptions options = {});
    // Closes every connection and ends the server's thread.
    ~IpDeviceServer() override;
    IpDeviceServer(const IpDeviceServer&) = delete;
    IpDeviceServer& operator=(const IpDeviceServer&) = delete;

    // Listens (backlog 8) and starts the server's thread: 0, or -1 with the
    // reason in *error. Logs "ip ovi server started on port %u".
    int start(std::string* error = nullptr);
    // Between a successful start() and stop().
    bool running() const { return m_running; }
    uint16_t port() const { return m_port; }
    // Shutdown: keep-alives stop; connections stay until destruction.
    void stop() { m_running = false; }

    // VEDA=: a text of exactly 20 characters to the devices numbered device
    // (kAllDevices: every device). kBadDeviceText, and nothing sent, for any
    // other length. The rest happens on the server's thread: sleeping devices
    // get only texts with "WAKEUP" (the first sleeping device that does not,
    // in slot order, ends the whole send), a text with "SLEEP" marks its
    // devices sleeping, "UCIM="/"UCVI=" read the named file and send it after
    // its header.
    int send(int device, std::string_view text);
    void sendToDevices(int device, std::string_view text) override { send(device, text); }
    // Timer 1235: keep-alives to the devices whose time has come.
    void keepAlive();

    // The log lines written since the last call.
    std::vector<LogLine> takeLog();
    // Waits (at most 5 s) until everything posted before has been done, with
    // the log lines that are due by then.
    void flush();
    // Devices connected now (safe from any thread).
    int connectedDevices() const;

    class Loop;

private:
    IpDeviceServerOptions m_options;
    std::unique_ptr<Loop> m_loop;
    bool m_running = false;
    uint16_t m_port = 0;
};

} // namespace orvane
