#pragma once
// The serial DMX line on Linux: termios2 with a free baud rate (BOTHER), break by
// TIOCSBRK/TIOCCBRK, a non-blocking descriptor so a frame write never waits, and a
// reader thread that sleeps until the line reports received bytes. Nothing in
// the program reads them: the interface sends nothing the program needs.
//
// Threads: see DmxLine. The descriptor is published atomically and close() waits
// for a line operation in flight on the output thread (a single syscall) before
// the descriptor is released, so a frame can never land in a reused descriptor.

#include "dmx/dmxline.h"

#include <atomic>
#include <string>
#include <thread>

namespace orvane {

// Device of the DMX line: $ORVANE_DMX_PORT, else the profile setting "dmxport",
// else /dev/ttyUSB0. Empty values count as absent.
std::string chooseDmxDevice(const char* environmentValue, const std::string& profileSetting);
// Same, reading ORVANE_DMX_PORT from the environment.
std::string dmxDevicePath(const std::string& profileSetting);

class SerialLine final : public DmxLine {
public:
    explicit SerialLine(MessageFn message);
    ~SerialLine() override;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    int open(const LineSettings& settings) override;
    void setDmxBaud() override;
    void clearRts() override;
    void close() override;

    int breakOn() override;
    int breakOff() override;
    int writeFrame(std::span<const uint8_t> bytes) override;
    int openError() const override { return m_openError; }
    int lineError() const override { return m_lineError.load(std::memory_order_relaxed); }

    bool isOpen() const { return m_fd.load() >= 0; }
    const LineSettings& settings() const { return m_settings; }

private:
    enum class Rts : uint8_t { Low, High, NotDriven };

    // An open that failed at `stage` after the device was opened (the codes
    // the operator can report); closes fd.
    int fail(int stage, int error, int fd);
    bool startReader(int fd, int& error);
    void stopReader();
    template <typename Op> int withLine(Op op);

    MessageFn m_message;
    LineSettings m_settings;
    Rts m_rts = Rts::NotDriven;
    std::atomic<int> m_fd{-1};
    std::atomic<int> m_inFlight{0};
    int m_openError = 0;
    std::atomic<int> m_lineError{0}; // written by the output thread
    int m_wakeFd = -1;
    int m_epollFd = -1;
    std::thread m_reader;
};

} // namespace orvane
