#pragma once
// The frame pipe "orvanepipeserver": another program sends whole DMX frames of
// 512 bytes (byte i is channel i + 1; no start code, no header) that replace
// the program's own output for 1000 ms after each complete one. Frames are
// taken from the byte stream 512 at a time whatever the writes were: a frame
// split over several writes is taken once it is complete, a burst of several
// frames read on one tick leaves the last one in place, and a byte beyond a
// whole frame waits for the rest of its frame.
//
// Output thread only; reads into fixed buffers, never allocates.

#include "dmx/outputtick.h"
#include "remote/pipeserver.h"

#include <array>
#include <cstdint>

namespace orvane {

class FramePipeReader : public PipeReader {
public:
    // The tick's pipe frame, for the duration of one read() (set by the hooks).
    void setTarget(PipeFrame* frame) { m_target = frame; }

    bool read(int fd, Milliseconds now) override;
    void newClient() override {}

private:
    bool skip(int fd, int count);

    // What a tick may read of a flood; a whole socket buffer is about 200 KiB.
    static constexpr int kSkipBytes = 64 * 1024;
    static constexpr int kReadsPerTick = 8;

    PipeFrame* m_target = nullptr;
    std::array<uint8_t, kSkipBytes> m_skipped{};
};

} // namespace orvane
