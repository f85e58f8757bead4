#pragma once
// The IP link: one TCP connection to the remote host on port 9876, opened and
// closed with the "Use IP devices" box. On opening the program announces
// itself with "!FORM:C" and waits up to 500 ms for any reply; from then on the
// output tick reports the current colour ("!COL:" + blue, green, red as two
// upper-case hex digits each) whenever it changed, was forced, or more than
// 1000 ms passed, or, with colour report mode off, sends "!ALIVE" when forced or
// after more than 10 000 ms; steps send SUPERSCAN1= texts over it.
//
// Threads: open, close and send on the user-interface thread; heartbeat() on
// the output thread (non-blocking calls, fixed buffers, no allocation); the
// flags and the current colour are atomics. A link the remote host ended is
// noticed by the tick and reported once through takeLost().

#include "dmx/composer.h"
#include "playback/extracommands.h"
#include "remote/tickgate.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace orvane {

constexpr uint16_t kLinkPort = 9876;
constexpr int kLinkWaitMs = 500;
constexpr Milliseconds kColourReport{1000};
constexpr Milliseconds kLinkAlive{10000};

class IpLinkClient : public IpLink {
public:
    IpLinkClient() = default;
    ~IpLinkClient() override { close(); }
    IpLinkClient(const IpLinkClient&) = delete;
    IpLinkClient& operator=(const IpLinkClient&) = delete;

    // Connects (at most kLinkWaitMs), sends "!FORM:C" and waits at most
    // kLinkWaitMs for a reply. 0 when connected, whether or not a reply came;
    // -1 when the host cannot be resolved or the connection is refused; -2 when
    // no connection completed in time. *error gets the reason. Each opening
    // waits for its own connection and its own reply.
    int open(const std::string& host, uint16_t port, std::string* error = nullptr);
    // Forces the next colour or keep-alive message, marks the link closed and
    // closes the connection.
    void close();

    // IpLink (extra commands): connected() is true between a successful open()
    // and close(); send() does not wait for an answer.
    bool connected() const override { return m_fd.load() >= 0; }
    void send(std::string_view text) override;
    void setColourReport(bool on) override { m_colourReport.store(on); }
    bool colourReport() const { return m_colourReport.load(); }

    // User-interface thread: the current colour (live colour 8) to report.
    void setCurrentColour(CurrentColour colour);
    // The reply to "!FORM:C" of the last opening; empty without one.
    const std::string& reply() const { return m_reply; }
    // True once after the tick found the connection ended by the remote host
    // or failing.
    bool takeLost() { return m_lost.exchange(false); }

    // Output thread, once per tick.
    void heartbeat(Milliseconds now);

private:
    void sendNow(int fd, const char* text, size_t size);
    void drainReplies(int fd);
    void markLost();

    TickGate m_gate;
    std::atomic<int> m_fd{-1};
    std::atomic<bool> m_colourReport{true};
    std::atomic<bool> m_reportNow{true};
    std::atomic<uint32_t> m_colour{0}; // 0x00BBGGRR
    std::atomic<bool> m_lost{false};
    std::atomic<uint32_t> m_opening{0}; // counts successful openings
    std::string m_reply;
    // Output thread only.
    Milliseconds m_lastReport{0};
    uint32_t m_lastColour = 0;
    uint32_t m_lostOpening = 0; // the opening whose loss was reported
};

} // namespace orvane
