#include "sound/soundbank.h"

#include "console/controlmodel.h"
#include "show/language.h"
#include "show/textutil.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

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

std::optional<std::vector<uint8_t>> readBytes(int fd, size_t size, std::string& error) {
    std::vector<uint8_t> bytes(size);
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, bytes.data() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = errno; // before the translation, which may change it
            error = n < 0 ? fillIn(translate("Sound", "cannot be read: %1"), {std::strerror(e)})
                          : translate("Sound", "shorter than its size");
            return std::nullopt;
        }
        got += size_t(n);
    }
    return bytes;
}

// Opened without waiting (a FIFO or a device would block a plain open) and
// read only when it is a regular file.
std::optional<std::vector<uint8_t>> readWhole(const std::string& path, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        error = fillIn(translate("Sound", "cannot be opened: %1"), {std::strerror(e)});
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes;
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int e = errno;
        error = fillIn(translate("Sound", "cannot be read: %1"), {std::strerror(e)});
    } else if (!S_ISREG(st.st_mode))
        error = translate("Sound", "not a regular file");
    else if (uint64_t(st.st_size) > kMaxFileBytes)
        error = translate("Sound", "too large");
    else
        bytes = readBytes(fd, size_t(st.st_size), error);
    ::close(fd);
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

namespace {

std::string notDecodedText(Milliseconds bound) {
    return fillIn(translate("Sound", "not decoded within %1 (the decoder did not return: the "
                                     "file may be damaged)"),
                  {boundText(bound)});
}

constexpr const char* kBankFullReason =
    QT_TRANSLATE_NOOP("Sound", "the bank holds at most 500 sounds");

// The decoder runs on a thread of its own and owns the bytes it reads: if it
// never returns, the bytes stay with it.
std::optional<DecodedSound> decodeBounded(std::shared_ptr<const std::vector<uint8_t>> bytes,
                                          const DecodeOptions& options, std::string& error,
                                          bool& overran) {
    SoundDecoder decoder = options.decoder ? options.decoder : decodeWavFromMemory;
    using Outcome = std::pair<std::optional<DecodedSound>, std::string>;
    Bounded<Outcome> run = runBounded<Outcome>(
        options.bound,
        [bytes, decoder] {
            Outcome out;
            out.first = decoder(*bytes, out.second);
            return out;
        },
        options.cancel);
    switch (run.end) {
    case BoundedEnd::Done:
        error = std::move(run.value->second);
        return std::move(run.value->first);
    case BoundedEnd::NoThread:
        error = translate("Sound", "no thread could be started to decode it");
        return std::nullopt;
    case BoundedEnd::Cancelled:
        error = translate("Sound", "its decoding was stopped");
        return std::nullopt;
    case BoundedEnd::Overran:
        break;
    }
    overran = true;
    error = notDecodedText(options.bound);
    return std::nullopt;
}

// Files whose decoder was abandoned in this run: another try would leave one
// more thread spinning, so they are left out at once until they change.
class OverranFiles {
public:
    using Identity = std::tuple<std::string, int64_t, int64_t>; // path, size, change time
    static std::optional<Identity> identify(const std::string& path) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return std::nullopt;
        return Identity{path, int64_t(st.st_size),
                        int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    bool contains(const std::optional<Identity>& file) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return file && m_files.count(*file);
    }
    void add(const std::optional<Identity>& file) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (file)
            m_files.insert(*file);
    }

private:
    std::mutex m_mutex;
    std::set<Identity> m_files;
};

OverranFiles& overranFiles() {
    static OverranFiles files;
    return files;
}

} // namespace

std::optional<Sound> readSound(const std::string& path, std::string name, std::string& error,
                               const DecodeOptions& options) {
    std::optional<OverranFiles::Identity> identity = OverranFiles::identify(path);
    if (overranFiles().contains(identity)) {
        error = fillIn(translate("Sound", "%1; not tried again until it changes"),
                       {notDecodedText(options.bound)});
        return std::nullopt;
    }
    auto bytes = readWhole(path, error);
    if (!bytes)
        return std::nullopt;
    uint32_t size = uint32_t(bytes->size());
    auto shared = std::make_shared<const std::vector<uint8_t>>(std::move(*bytes));
    bool overran = false;
    auto decoded = decodeBounded(std::move(shared), options, error, overran);
    if (overran)
        overranFiles().add(identity);
    if (!decoded)
        return std::nullopt;
    Sound s;
    s.size = size;
    s.loops = loopCount(name);
    s.name = std::move(name);
    s.format = decoded->format;
    s.data = std::make_shared<const std::vector<uint8_t>>(std::move(decoded->samples));
    return s;
}

void walkSoundFolder(const std::string& folder,
                     const std::function<void(const std::string&)>& progress,
                     const std::function<void(Sound&&)>& keep,
                     const std::function<void(const std::string&, const std::string&)>& refused,
                     const DecodeOptions& options) {
    int kept = 0;
    for (const std::string& name : wavFiles(folder)) {
        if (options.cancel && options.cancel->load())
            return;
        std::string path = folder + "/" + name;
        if (kept == kSoundSlots) {
            refused(path, translate("Sound", kBankFullReason));
            continue;
        }
        if (progress)
            progress(name);
        std::string error;
        if (auto sound = readSound(path, name, error, options)) {
            keep(std::move(*sound));
            ++kept;
        } else if (!(options.cancel && options.cancel->load())) {
            refused(path, error);
        }
    }
}

namespace {

// Sound files of kinds the bank does not read, by their usual extensions.
bool isOtherSoundFile(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = toLower(std::string_view(name).substr(dot + 1));
    for (const char* other : {"mp3", "ogg", "oga", "opus", "flac", "aif", "aiff", "aifc", "m4a",
                              "aac", "wma", "mp2", "au"})
        if (ext == other)
            return true;
    return false;
}

void addOtherSoundFiles(const std::string& folder, SoundBankPreview& preview) {
    namespace fs = std::filesystem;
    std::vector<std::string> others;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isOtherSoundFile(name) && !it->is_directory(ec))
            others.push_back(folder + "/" + name);
    }
    std::sort(others.begin(), others.end());
    for (std::string& path : others)
        preview.leftOut.push_back(
            {std::move(path), translate("Sound", "not a .wav file: the bank reads only those")});
}

} // namespace

std::string soundListText(const Sound& sound) {
    return sound.name + " " + durationText(sound.durationMs());
}

SoundBankPreview previewSoundBank(const std::string& folder, const DecodeOptions& options) {
    SoundBankPreview preview;
    walkSoundFolder(
        folder, {},
        [&](Sound&& s) {
            preview.sounds.push_back({soundListText(s), s.name, soundHotkeyKey(s.name)});
        },
        [&](const std::string& path, const std::string& reason) {
            preview.leftOut.push_back({path, reason});
        },
        options);
    addOtherSoundFiles(folder, preview);
    return preview;
}

int SoundBank::load(const std::string& folder, const Progress& progress, const Refusal& refused,
                    const DecodeOptions& options) {
    m_sounds.clear();
    walkSoundFolder(
        folder, progress, [this](Sound&& s) { m_sounds.push_back(std::move(s)); },
        [&](const std::string& path, const std::string& reason) {
            std::fprintf(
                stderr, "orvane: %s\n",
                fillIn(translate("Sound", "sound file %1 left out: %2"), {path, reason}).c_str());
            if (refused)
                refused(path, reason);
        },
        options);
    return count();
}

int SoundBank::add(Sound&& sound) {
    m_sounds.push_back(std::move(sound));
    return count() - 1;
}

const Sound* SoundBank::slot(int64_t slot) const {
    return slot >= 0 && slot < count() ? &m_sounds[size_t(slot)] : nullptr;
}

std::vector<SoundHotkey> SoundBank::fillList(ListModel& list) const {
    list.clear();
    std::vector<SoundHotkey> keys;
    for (int i = 0; i < count(); ++i) {
        const Sound& s = m_sounds[size_t(i)];
        int position = list.add(soundListText(s), i);
        if (auto key = soundHotkeyKey(s.name))
            keys.push_back({kSoundHotkeyBase + uint32_t(position), *key});
    }
    return keys;
}

} // namespace orvane
