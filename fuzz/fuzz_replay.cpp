// The DMX replay reader (REPLAYDMX=, "Play and replay DMX"): records of any
// length, cut anywhere, never write past the frame.

#include "dmx/dmxrecording.h"
#include "fuzzsupport.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::scratch() + "/dmxraw.bin";
    fuzz::writeScratch(path, std::string_view(reinterpret_cast<const char*>(data), size));
    DmxReplayReader reader;
    reader.adopt(openForReplay(path));
    fuzz::require(reader.isOpen(), "a regular file opens");
    Universe frame{};
    // Every record read consumes at least its two length bytes; an overlong
    // record ends the replay as the end of the file does.
    for (size_t reads = 0; reads <= size / 2 + 1; ++reads)
        if (reader.next(frame) != ReplayRead::Record)
            return 0;
    fuzz::require(false, "the replay ends");
    return 0;
}
