// The sound bank's decoder: never reads outside the file, says why when it
// refuses one, and what it accepts holds whole frames it can play.

#include "fuzzsupport.h"
#include "sound/wavfile.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::optional<DecodedSound> sound =
        decodeWavFromMemory(std::span<const uint8_t>(data, size), error);
    if (!sound) {
        fuzz::require(!error.empty(), "a refusal says why");
        return 0;
    }
    const SampleFormat& f = sound->format;
    fuzz::require(f.channels > 0 && f.blockAlign == f.channels * f.bytesPerSample(),
                  "a frame holds one sample of each channel");
    fuzz::require(sound->dataBytes() % f.blockAlign == 0, "the samples are whole frames");
    fuzz::require(playLength(sound->dataBytes(), f) <= sound->dataBytes(),
                  "the played bytes lie inside the samples");
    (void)durationText(bytesToMs(sound->dataBytes(), f.avgBytesPerSec));
    return 0;
}
