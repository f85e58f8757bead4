#include "sound/soundbank.h"

#include "playback/controlmodel.h"
#include "show/textutil.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvane {

namespace {

// A sound must fit the int ranges of the position slider and bar.
constexpr uint64_t kMaxFileBytes = INT32_MAX;

bool hasWavExtension(const std::string& name) {
    return name.size() > 4 &&
           equalsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".wav");
}

std::vector<std::string> wavFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (hasWavExtension(name) && !it->is_directory(ec))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLower(a) < toLower(b); });
    return names;
}

std::optional<std::vector<uint8_t>> readWhole(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = "cannot be opened";
        return std::nullopt;
    }
    auto size = uint64_t(std::max<std::streamoff>(in.tellg(), 0));
    if (size > kMaxFileBytes) {
        error = "too large";
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(size);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        error = "cannot be read";
        return std::nullopt;
    }
    return bytes;
}

} // namespace

uint32_t loopCount(std::string_view name) {
    size_t at = name.find("LOOP=");
    if (at == std::string_view::npos)
        return 1;
    return uint32_t(leadingInt(name.substr(at + 5)));
}

std::optional<HotKey> soundHotkeyKey(std::string_view name) {
    size_t at = name.find("(SC=");
    if (at == std::string_view::npos || at + 4 >= name.size())
        return std::nullopt;
    return HotKey{uint8_t(name[at + 4]), kModAlt};
}

std::optional<Sound> readSound(const std::string& path, std::string name, std::string& error) {
    auto bytes = readWhole(path, error);
    if (!bytes)
        return std::nullopt;
    auto info = parseWav(*bytes, error);
    if (!info)
        return std::nullopt;
    Sound s;
    s.size = uint32_t(bytes->size());
    s.loops = loopCount(name);
    s.name = std::move(name);
    s.info = *info;
    s.data = std::make_shared<const std::vector<uint8_t>>(std::move(*bytes));
    return s;
}

int SoundBank::load(const std::string& folder, const Progress& progress) {
    m_sounds.clear();
    for (const std::string& name : wavFiles(folder)) {
        if (count() == kSoundSlots)
            break;
        if (progress)
            progress(name);
        std::string error;
        auto sound = readSound(folder + "/" + name, name, error);
        if (sound)
            m_sounds.push_back(std::move(*sound));
        else
            std::fprintf(stderr, "orvane: sound file %s left out: %s\n", name.c_str(),
                         error.c_str());
    }
    return count();
}

const Sound* SoundBank::slot(int64_t slot) const {
    return slot >= 0 && slot < count() ? &m_sounds[size_t(slot)] : nullptr;
}

std::vector<SoundHotkey> SoundBank::fillList(ListModel& list) const {
    list.clear();
    std::vector<SoundHotkey> keys;
    for (int i = 0; i < count(); ++i) {
        const Sound& s = m_sounds[size_t(i)];
        int position = list.add(s.name + " " + durationText(s.info.durationMs()), i);
        if (auto key = soundHotkeyKey(s.name))
            keys.push_back({kSoundHotkeyBase + uint32_t(position), *key});
    }
    return keys;
}

} // namespace orvane
