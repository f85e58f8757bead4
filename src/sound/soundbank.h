#pragma once
// The sound bank: the show's "step0/*.wav" files read into memory and decoded,
// up to 500 slots in load order, and the sound list built from it. The decoded
// samples are shared with the output device, so a sound that plays stays valid
// while the bank is freed or reloaded. Each file is decoded on a thread of its
// own within a bound, so a damaged file never holds the caller for longer.
// The bank is for one thread at a time; the free functions for any thread.

#include "core/boundedcall.h"
#include "show/keycodes.h"
#include "sound/wavfile.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane {

// What the sound bank would hold of a show's sound folder.
struct BankSound {
    std::string listText; // the sound list's entry: name and duration
    std::string name;     // the file name
    std::optional<HotKey> hotKey;
};
struct LeftOutSound {
    std::string path;
    std::string reason;
};
struct SoundBankPreview {
    std::vector<BankSound> sounds; // in slot order
    std::vector<LeftOutSound> leftOut;
};

class ListModel;

constexpr int kSoundSlots = 500;
// Hot-key identifiers of the sounds: this base + the list position.
constexpr uint32_t kSoundHotkeyBase = 0x80000000u;

using SoundData = std::shared_ptr<const std::vector<uint8_t>>;

struct Sound {
    SoundData data;    // the decoded samples
    uint32_t size = 0; // of the file
    std::string name;  // file name without folder
    uint32_t loops = 1;
    SampleFormat format;

    uint32_t dataBytes() const { return uint32_t(data->size()); }
    uint32_t playLength() const { return orvane::playLength(dataBytes(), format); }
    uint64_t durationMs() const { return bytesToMs(dataBytes(), format.avgBytesPerSec); }
};

// A sound hot key: Alt + the key whose virtual-key code is the byte after "(SC="
// in the sound's name, identifier kSoundHotkeyBase + the list position.
struct SoundHotkey {
    uint32_t id = 0;
    HotKey key;
    bool operator==(const SoundHotkey&) const = default;
};

// The number after "LOOP=" in a file name, else 1.
uint32_t loopCount(std::string_view name);
// The hot key named by "(SC=" in a sound name, if any.
std::optional<HotKey> soundHotkeyKey(std::string_view name);

// Decodes a whole file held in memory; decodeWavFromMemory, or a test's own.
using SoundDecoder =
    std::function<std::optional<DecodedSound>(std::span<const uint8_t> file, std::string& error)>;

// How a file is decoded: on a thread of its own, given at most `bound`; a
// decoder that has not returned by then is abandoned and the file left out.
struct DecodeOptions {
    Milliseconds bound = kOutsideFileBound;
    SoundDecoder decoder; // empty: decodeWavFromMemory
    // Raised to stop a walk of a folder and the wait for the file in hand.
    const std::atomic<bool>* cancel = nullptr;
};

// Reads one regular file and decodes it within the bound. Nothing, with the
// reason in error, when it is not a regular file (a FIFO would block the
// reader), cannot be read, cannot be decoded or is not decoded in time.
std::optional<Sound> readSound(const std::string& path, std::string name, std::string& error,
                               const DecodeOptions& options = {});

// The list entry of a sound: its name, a blank and its duration.
std::string soundListText(const Sound& sound);

// What load would make of a folder, for a check, without keeping the samples:
// the sounds in slot order with their list entries and hot keys, and every file
// left out with the reason. Sound files of other kinds (".mp3", ".flac", ...),
// which the bank never reads, are among those left out.
SoundBankPreview previewSoundBank(const std::string& folder, const DecodeOptions& options = {});

// The bank's walk of a folder: the "*.wav" files in slot order (any case of
// the extension, sorted by name ignoring case, as the shows' home platform
// lists them; folders are passed over), each read and decoded in turn, the
// sound handed to keep until 500 were kept, every other file to refused with
// the reason. progress is told each name before its file is read. The walk
// stops early when options.cancel is raised.
void walkSoundFolder(
    const std::string& folder, const std::function<void(const std::string&)>& progress,
    const std::function<void(Sound&&)>& keep,
    const std::function<void(const std::string& path, const std::string& reason)>& refused,
    const DecodeOptions& options = {});

class SoundBank {
public:
    // Told the file name before each file is read.
    using Progress = std::function<void(const std::string& name)>;
    // Told the path and the reason of every file left out.
    using Refusal = std::function<void(const std::string& path, const std::string& reason)>;

    // Frees every slot, then reads the folder as walkSoundFolder does, on the
    // caller's thread. A file that is refused, and every file past the 500th
    // sound, is left out with a line on stderr and a call of refused. Returns
    // the number of sounds loaded (at most 500).
    int load(const std::string& folder, const Progress& progress = {}, const Refusal& refused = {},
             const DecodeOptions& options = {});
    void clear() { m_sounds.clear(); }
    // One more sound in the next slot; its slot number.
    int add(Sound&& sound);

    int count() const { return int(m_sounds.size()); }
    // The sound in a slot, nullptr for an empty slot.
    const Sound* slot(int64_t slot) const;

    // Refills the list: one entry per sound, its name, a blank and its duration
    // ("%u:%2.2u %3.3u"), the slot number as item data. Returns the sound hot keys.
    std::vector<SoundHotkey> fillList(ListModel& list) const;

private:
    std::vector<Sound> m_sounds;
};

} // namespace orvane
