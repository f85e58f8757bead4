#include "show/showstore.h"

#include "show/patch.h"
#include "show/stepkeys.h"
#include "show/textutil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {

double clampSeconds(double seconds) {
    if (!(seconds > 0.0)) // NaN as well
        return 0.0;
    return std::min(seconds, kMaxSeconds);
}

Milliseconds secondsToMs(double seconds) {
    return Milliseconds{int64_t(std::trunc(clampSeconds(seconds) * 1000.0))};
}

bool ShowStore::isShowFile(std::string_view file) const {
    return file.empty() || equalsIgnoreCase(file, m_showPath);
}

namespace {

// Builds qualified keys ("12$master") in a stack buffer.
class QualifiedKey {
public:
    explicit QualifiedKey(std::string_view section) {
        m_prefix = std::min(section.size(), sizeof m_buf - 64);
        std::memcpy(m_buf, section.data(), m_prefix);
        m_buf[m_prefix++] = '$';
    }
    std::string_view with(std::string_view name) {
        size_t n = std::min(name.size(), sizeof m_buf - m_prefix);
        std::memcpy(m_buf + m_prefix, name.data(), n);
        return std::string_view(m_buf, m_prefix + n);
    }

private:
    char m_buf[192];
    size_t m_prefix;
};

// Reads and writes the keys of one step section, either in the show table or in
// a profile file. Shared keys live in section "0".
class StepAccess {
public:
    StepAccess(ShowStore& store, int section, std::string_view file)
        : m_store(store), m_show(store.isShowFile(file)), m_file(file), m_section(section),
          m_text(std::to_string(section)), m_key(m_text), m_sharedKey("0") {}

    std::optional<std::string_view> get(std::string_view name, bool shared = false) {
        if (m_show) {
            const std::string* v = m_store.table().find(shared ? 0 : m_section,
                                                        (shared ? m_sharedKey : m_key).with(name),
                                                        shared ? &m_sharedCursor : &m_cursor);
            return v ? std::optional<std::string_view>(*v) : std::nullopt;
        }
        return m_store.profiles().lookup(m_file, shared ? "0" : m_text, name);
    }
    int32_t getInt(std::string_view name, int32_t def = 0, bool shared = false) {
        auto v = get(name, shared);
        return v ? leadingInt(*v) : def;
    }
    // A value with a range of its own (levels, slider positions): whatever the
    // file holds, the field gets a value inside it.
    int32_t getInRange(std::string_view name, int32_t lo, int32_t hi) {
        auto v = get(name);
        return v ? leadingIntClamped(*v, lo, hi) : 0;
    }
    uint8_t getByte(std::string_view name) { return static_cast<uint8_t>(getInt(name)); }
    std::string getText(std::string_view name) {
        auto v = get(name);
        return v ? std::string(*v) : std::string();
    }
    double getSeconds(std::string_view name) {
        auto v = get(name);
        return v ? clampSeconds(leadingDouble(*v)) : 0.0;
    }

    void put(std::string_view name, std::string_view value, bool shared = false) {
        if (m_show) {
            m_store.table().write(shared ? 0 : m_section, (shared ? m_sharedKey : m_key).with(name),
                                  value, shared ? &m_sharedCursor : &m_cursor);
            return;
        }
        m_store.profiles().writeString(m_file, shared ? "0" : m_text, name, value);
    }
    void putU(std::string_view name, uint32_t v, bool shared = false) {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        put(name, std::string_view(buf, size_t(r.ptr - buf)), shared);
    }
    void putD(std::string_view name, int32_t v) {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        put(name, std::string_view(buf, size_t(r.ptr - buf)));
    }
    void putF(std::string_view name, double v) { put(name, formatFixed(v, 6)); }

private:
    ShowStore& m_store;
    bool m_show;
    std::string m_file;
    int m_section;
    std::string m_text;
    QualifiedKey m_key;
    QualifiedKey m_sharedKey;
    size_t m_cursor = 0;
    size_t m_sharedCursor = 0;
};

constexpr int32_t kLevelMax = 255;
constexpr int32_t kSoundSliderMax = 10000;

void loadEntries(StepAccess& a, StepRecord& r) {
    const StepKeys& k = StepKeys::get();
    for (int i = 0; i < kEntryCount; ++i) {
        const StepKeys::EntryKeys& e = k.entry[i];
        if (kPatch[i].type == kTypeLamp) {
            r.lamp[i].colour = static_cast<uint32_t>(a.getInt(e.colour));
            r.lamp[i].strobe = a.getByte(e.strobe);
            r.lamp[i].intensity = a.getByte(e.intensity);
            r.lamp[i].mode = a.getByte(e.mode);
            r.lamp[i].speed = a.getByte(e.speed);
            continue;
        }
        if (!e.first.empty())
            r.pair[i].first = a.getByte(e.first);
        if (!e.second.empty())
            r.pair[i].second = a.getByte(e.second);
    }
}

// Red, green, blue in the order a save writes them (the arguments of a call
// would be read in whatever order the compiler picks, each missing the cursor).
uint32_t loadColour(StepAccess& a, int c) {
    const StepKeys& k = StepKeys::get();
    uint8_t red = a.getByte(k.red[c]);
    uint8_t green = a.getByte(k.green[c]);
    uint8_t blue = a.getByte(k.blue[c]);
    return makeColour(red, green, blue);
}

void loadBlock(StepAccess& a, const StepKeys::BlockKeys& k, uint8_t* channel, int bytes, int32_t& x,
               int32_t& y, int32_t& raw) {
    for (int c = 0; c < bytes; ++c)
        if (!k.channel[c].empty())
            channel[c] = a.getByte(k.channel[c]);
    x = a.getInt(k.x);
    y = a.getInt(k.y);
    raw = a.getInt(k.raw);
}

void loadFixtures(StepAccess& a, StepRecord& r) {
    const StepKeys& k = StepKeys::get();
    for (int s = 0; s < kScannerCount; ++s) {
        ScannerBlock& b = r.scanner[s];
        loadBlock(a, k.scanner[s], b.channel.data(), kScannerBytes, b.padX, b.padY, b.raw);
    }
    for (int h = 0; h < kHeadCount; ++h) {
        HeadBlock& b = r.head[h];
        loadBlock(a, k.head[h], b.channel.data(), h == 0 ? kHead1Bytes : kHeadBytes, b.padX, b.padY,
                  b.raw);
    }
}

// Reads follow the order in which a save writes, so each key is found right
// after the previous one; the values are the same in any order.
void loadNonLight(StepAccess& a, StepRecord& r) {
    r.resetmaster = a.getInt("resetmaster");
    r.setmaster = a.getInt("setmaster");
    r.masteront = a.getSeconds("masteront");
    r.masterofft = a.getSeconds("masterofft");
    r.fadet = a.getSeconds("fadet");
    r.name = a.getText("name");
    r.ple = a.getText("ple");
    r.extra = a.getText("extra");
    r.soundnameatbegin = a.getText("soundnameatbegin");
    r.keycode = static_cast<uint16_t>(a.getInt("keycode"));
    r.keymodifier = static_cast<uint16_t>(a.getInt("keymodifier"));
    r.autofade = a.getInt("autofade");
    r.gotoFlag = a.getInt("goto");
    r.gotostep = a.getInt("gotostep");
    r.playatbegin = a.getInt("playatbegin");
    r.nextonstop = a.getInt("nextonstop");
    r.togglepause = a.getInt("togglepause");
    r.faderude = a.getInt("faderude");
    r.sound1 = a.getInRange("sound1", 0, kSoundSliderMax);
    r.sound2 = a.getInRange("sound2", 0, kSoundSliderMax);
    r.soundlocked = a.getInt("soundlocked", 1);
    r.stepsound = a.getInt("stepsound");
}

} // namespace

void ShowStore::LoadStep(int section, StepRecord& r, std::string_view file, uint32_t* fadeMs) {
    StepAccess a(*this, section, file);
    const StepKeys& k = StepKeys::get();
    r.master = a.getInRange("master", 0, kLevelMax);
    loadEntries(a, r);
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = a.getInRange(k.fader[f], 0, kLevelMax);
    for (int c = 0; c < kColourCount; ++c)
        r.colour[c] = loadColour(a, c);
    for (int c = 0; c < kCheckCount; ++c)
        r.check[c] = a.getInt(k.check[c], 0, c < 4);
    loadFixtures(a, r);
    loadNonLight(a, r);
    if (fadeMs)
        *fadeMs = uint32_t(secondsToMs(r.fadet).count());
}

const StepRecord& ShowStore::StoredStep(int section) {
    uint64_t generation = m_table.generation(section), shared = m_table.generation(0);
    StoredStepSlot* oldest = &m_storedSteps[0];
    for (StoredStepSlot& slot : m_storedSteps) {
        if (slot.valid && slot.section == section && slot.generation == generation &&
            slot.sharedGeneration == shared && slot.encoding == m_encoding) {
            slot.lastUse = ++m_storedStepUses;
            return slot.record;
        }
        if (slot.lastUse < oldest->lastUse)
            oldest = &slot;
    }
    oldest->valid = false; // until the load is through
    oldest->record = StepRecord{};
    LoadStep(section, oldest->record);
    oldest->valid = true;
    oldest->section = section;
    oldest->generation = generation;
    oldest->sharedGeneration = shared;
    oldest->encoding = m_encoding;
    oldest->lastUse = ++m_storedStepUses;
    return oldest->record;
}

namespace {

void saveEntries(StepAccess& a, const StepRecord& r) {
    const StepKeys& k = StepKeys::get();
    for (int i = 0; i < kEntryCount; ++i) {
        const StepKeys::EntryKeys& e = k.entry[i];
        if (kPatch[i].type == kTypeLamp) {
            a.putU(e.colour, r.lamp[i].colour);
            a.putU(e.strobe, r.lamp[i].strobe);
            a.putU(e.intensity, r.lamp[i].intensity);
            a.putU(e.mode, r.lamp[i].mode);
            a.putU(e.speed, r.lamp[i].speed);
            continue;
        }
        if (!e.first.empty())
            a.putU(e.first, r.pair[i].first);
        if (!e.second.empty())
            a.putU(e.second, r.pair[i].second);
    }
}

void saveBlock(StepAccess& a, const StepKeys::BlockKeys& k, const uint8_t* channel, int bytes,
               int32_t x, int32_t y, int32_t raw) {
    for (int c = 0; c < bytes; ++c)
        if (!k.channel[c].empty())
            a.putU(k.channel[c], channel[c]);
    a.putD(k.x, x);
    a.putD(k.y, y);
    a.putD(k.raw, raw);
}

void saveFixtures(StepAccess& a, const StepRecord& r) {
    const StepKeys& k = StepKeys::get();
    for (int s = 0; s < kScannerCount; ++s) {
        const ScannerBlock& b = r.scanner[s];
        saveBlock(a, k.scanner[s], b.channel.data(), kScannerBytes, b.padX, b.padY, b.raw);
    }
    for (int h = 0; h < kHeadCount; ++h) {
        const HeadBlock& b = r.head[h];
        saveBlock(a, k.head[h], b.channel.data(), h == 0 ? kHead1Bytes : kHeadBytes, b.padX, b.padY,
                  b.raw);
    }
}

void saveNonLight(StepAccess& a, const StepRecord& r) {
    a.putU("resetmaster", uint32_t(r.resetmaster));
    a.putU("setmaster", uint32_t(r.setmaster));
    a.putF("masteront", r.masteront);
    a.putF("masterofft", r.masterofft);
    a.putF("fadet", r.fadet);
    a.put("name", r.name);
    a.put("ple", r.ple);
    a.put("extra", r.extra);
    a.put("soundnameatbegin", r.soundnameatbegin);
    a.putD("keycode", r.keycode);
    a.putD("keymodifier", r.keymodifier);
    a.putD("autofade", r.autofade);
    a.putD("goto", r.gotoFlag);
    a.putD("gotostep", r.gotostep);
    a.putD("playatbegin", r.playatbegin);
    a.putD("nextonstop", r.nextonstop);
    a.putD("togglepause", r.togglepause);
    a.putD("faderude", r.faderude);
    a.putU("sound1", uint32_t(r.sound1));
    a.putU("sound2", uint32_t(r.sound2));
    a.putU("soundlocked", uint32_t(r.soundlocked));
    a.putU("stepsound", uint32_t(r.stepsound));
}

} // namespace

void ShowStore::SaveStep(int section, const StepRecord& r, std::string_view file, bool lightOnly) {
    // A step outside the show does not exist: saving it must not touch the
    // shared flags of section 0 either.
    if (isShowFile(file) && (section < 0 || section >= kStepCount))
        return;
    StepAccess a(*this, section, file);
    const StepKeys& k = StepKeys::get();
    a.putU("master", uint32_t(r.master));
    saveEntries(a, r);
    for (int f = 0; f < kFaderCount; ++f)
        a.putU(k.fader[f], uint32_t(r.fader[f]));
    for (int c = 0; c < kColourCount; ++c) {
        a.putU(k.red[c], redOf(r.colour[c]));
        a.putU(k.green[c], greenOf(r.colour[c]));
        a.putU(k.blue[c], blueOf(r.colour[c]));
    }
    for (int c = 0; c < kCheckCount; ++c)
        a.putU(k.check[c], uint32_t(r.check[c]), c < 4);
    saveFixtures(a, r);
    if (!lightOnly)
        saveNonLight(a, r);
}

int32_t ShowStore::ReadStoreInt(std::string_view section, std::string_view key, int32_t def,
                                std::string_view file) {
    if (!isShowFile(file))
        return m_profiles.readInt(std::string(file), section, key, def);
    QualifiedKey q(section);
    const std::string* v = m_table.find(ShowTable::sectionNumber(section), q.with(key));
    return v ? leadingInt(*v) : def;
}

std::string ShowStore::ReadStoreString(std::string_view section, std::string_view key,
                                       std::string_view def, size_t size, std::string_view file) {
    if (!isShowFile(file))
        return m_profiles.readString(std::string(file), section, key, def, size);
    QualifiedKey q(section);
    const std::string* v = m_table.find(ShowTable::sectionNumber(section), q.with(key));
    if (size == 0)
        return {};
    return std::string(cutUtf8(v ? std::string_view(*v) : def, size - 1));
}

void ShowStore::WriteStoreValue(std::string_view section, std::string_view key,
                                std::string_view value, std::string_view file) {
    if (!isShowFile(file)) {
        m_profiles.writeString(std::string(file), section, key, value);
        return;
    }
    QualifiedKey q(section);
    m_table.write(ShowTable::sectionNumber(section), q.with(key), value);
}

} // namespace orvane
