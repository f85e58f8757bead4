#pragma once
// The DMX line as the output tick sees it: a serial port driven as raw DMX512.
// The tick makes break and mark-after-break by switching the line's break state
// and sends the start code plus 512 slots as one write.
//
// Threads: open, setDmxBaud, clearRts and close run on the user-interface thread;
// breakOn, breakOff and writeFrame run on the output thread, concurrently with
// them, and must then fail harmlessly instead of touching a closed port.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

constexpr unsigned kDmxBaud = 250000;
constexpr std::size_t kFrameBytes = 513; // start code + 512 slots

struct LineSettings {
    std::string device; // e.g. /dev/ttyUSB0
    unsigned baud = kDmxBaud;
    char parity = 'N'; // 'N', 'E' or 'O'
    unsigned dataBits = 8;
    unsigned stopBits = 2;
};

// Shows a message to the operator (title, text). The library never draws a
// widget itself; the application passes its prompt here.
using MessageFn = std::function<void(std::string_view title, std::string_view text)>;

class DmxLine {
public:
    virtual ~DmxLine() = default;

    // 0 on success, -1 on failure (the line is then closed). An open line is
    // closed first.
    virtual int open(const LineSettings& settings) = 0;
    // Forces the DMX baud rate once more after open; answers are ignored.
    virtual void setDmxBaud() = 0;
    // Drives RTS low unless it is already known to be low.
    virtual void clearRts() = 0;
    // Harmless when nothing is open.
    virtual void close() = 0;

    // Output thread. Never block; -1 when the line is closed or the call fails.
    virtual int breakOn() = 0;
    virtual int breakOff() = 0;
    // Returns the number of bytes accepted, or -1.
    virtual int writeFrame(std::span<const uint8_t> bytes) = 0;

    // Why the last open failed (an errno value), 0 after a successful one or
    // when the line cannot tell.
    virtual int openError() const { return 0; }
    // The errno of a break or frame write that failed since the last open (the
    // interface went away), 0 when none did. Safe from any thread.
    virtual int lineError() const { return 0; }
};

} // namespace orvane
