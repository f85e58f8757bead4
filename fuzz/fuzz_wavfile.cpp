// The WAV header parser of the sound bank: never reads outside the file, and
// what it accepts can be played from where it says.

#include "fuzzsupport.h"
#include "sound/wavfile.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::optional<WavInfo> info = parseWav(std::span<const uint8_t>(data, size), error);
    if (!info) {
        fuzz::require(!error.empty(), "a refusal says why");
        return 0;
    }
    fuzz::require(uint64_t(info->dataOffset) + info->playLength() <= size,
                  "the played bytes lie inside the file");
    fuzz::require(info->format.blockAlign > 0, "blocks have a size");
    (void)info->durationMs();
    (void)durationText(info->durationMs());
    return 0;
}
