#include "show/showtable.h"

#include "show/textutil.h"

#include <atomic>
#include <cctype>
#include <cstring>

namespace orvane {

namespace {

// Lower-cases a key into a small stack buffer; long keys fall back to the heap.
class LowerKey {
public:
    explicit LowerKey(std::string_view key) {
        if (key.size() <= sizeof m_buf) {
            for (size_t i = 0; i < key.size(); ++i)
                m_buf[i] = asciiLower(key[i]);
            m_view = std::string_view(m_buf, key.size());
        } else {
            m_long = toLower(key);
            m_view = m_long;
        }
    }
    std::string_view view() const { return m_view; }

private:
    char m_buf[96];
    std::string m_long;
    std::string_view m_view;
};

// Generations of every table's sections; 0 is never handed out.
std::atomic<uint64_t> g_generations{0};

} // namespace

void ShowTable::changed(Section& s) {
    s.generation = g_generations.fetch_add(1, std::memory_order_relaxed) + 1;
    ++m_changeCount;
}

void ShowTable::changing(int section) {
    if (m_changeHook.hook)
        m_changeHook.hook(section);
}

uint64_t ShowTable::generation(int section) const {
    return section < 0 || section >= kStepCount ? 0 : m_sections[section].generation;
}

size_t ShowTable::LowerHash::operator()(std::string_view s) const {
    // Eight bytes at a time, each letter folded to lower case by its case bit,
    // so that a key is hashed as it comes. Other bytes fold too ("_" onto
    // DEL), which costs no more than a rare collision.
    constexpr uint64_t kFold = 0x2020202020202020ull;
    uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    auto mix = [&h](uint64_t word) {
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    };
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        mix(word | kFold);
    }
    uint64_t tail = 0;
    for (size_t k = 0; i + k < s.size(); ++k)
        tail |= uint64_t(static_cast<unsigned char>(s[i + k])) << (8 * k);
    mix(tail | kFold);
    return size_t(h);
}

int ShowTable::sectionNumber(std::string_view sectionText) {
    return leadingInt(sectionText);
}

ShowTable::Entry::Entry(std::string_view key, std::string_view v) : value(v) {
    if (key.size() <= sizeof m_short) {
        key.copy(m_short, key.size());
        m_shortLength = uint8_t(key.size());
    } else {
        m_long.assign(key);
    }
}

namespace {

// The two filter bits of a key: 9 bits each from a mix of its hash.
inline std::pair<unsigned, unsigned> filterBits(size_t hash) {
    uint64_t mixed = uint64_t(hash) * 0x9E3779B97F4A7C15ull;
    return {unsigned(mixed >> 55), unsigned(mixed >> 46) & 511u};
}

} // namespace

inline bool ShowTable::mayHold(const Section& s, size_t keyHash) {
    auto [a, b] = filterBits(keyHash);
    return (s.keyBits[a / 64] >> (a % 64) & 1) && (s.keyBits[b / 64] >> (b % 64) & 1);
}

void ShowTable::markHeld(Section& s, size_t keyHash) {
    auto [a, b] = filterBits(keyHash);
    s.keyBits[a / 64] |= uint64_t{1} << (a % 64);
    s.keyBits[b / 64] |= uint64_t{1} << (b % 64);
}

void ShowTable::rebuildIndex(const Section& s) {
    s.index.clear();
    for (size_t i = 0; i < s.entries.size(); ++i)
        s.index.emplace(toLower(s.entries[i].key()), int(i)); // the first one stays
    s.indexStale = false;
}

int ShowTable::lookup(const Section& s, std::string_view qualifiedKey, size_t* cursor) {
    int found = -1;
    if (cursor && *cursor < s.entries.size() &&
        equalsIgnoreCase(s.entries[*cursor].key(), qualifiedKey)) {
        found = int(*cursor);
    } else {
        // Most keys a step load asks a sparse section for are not there.
        if (mayHold(s, LowerHash{}(qualifiedKey))) {
            if (s.indexStale)
                rebuildIndex(s);
            LowerKey lower(qualifiedKey);
            auto it = s.index.find(lower.view());
            if (it != s.index.end())
                found = it->second;
        }
    }
    if (cursor && found >= 0)
        *cursor = size_t(found) + 1;
    return found;
}

const std::string* ShowTable::find(int section, std::string_view qualifiedKey,
                                   size_t* cursor) const {
    if (section < 0 || section >= kStepCount)
        return nullptr;
    const Section& s = m_sections[section];
    int i = lookup(s, qualifiedKey, cursor);
    return i < 0 ? nullptr : &s.entries[i].value;
}

void ShowTable::write(int section, std::string_view qualifiedKey, std::string_view value,
                      size_t* cursor) {
    if (section < 0 || section >= kStepCount)
        return;
    Section& s = m_sections[section];
    int i = lookup(s, qualifiedKey, cursor);
    if (i >= 0) {
        if (s.entries[i].value != value) {
            changing(section);
            s.entries[i].value.assign(value);
            changed(s);
        }
        return;
    }
    changing(section);
    markHeld(s, LowerHash{}(qualifiedKey));
    if (!s.indexStale)
        s.index.emplace(toLower(qualifiedKey), int(s.entries.size()));
    s.entries.emplace_back(qualifiedKey, value);
    changed(s);
    if (cursor)
        *cursor = s.entries.size();
}

const std::vector<ShowTable::Entry>& ShowTable::entries(int section) const {
    static const std::vector<Entry> kEmpty;
    return section < 0 || section >= kStepCount ? kEmpty : m_sections[section].entries;
}

void ShowTable::clear() {
    for (int section = 0; section < kStepCount; ++section) {
        Section& s = m_sections[size_t(section)];
        if (!s.entries.empty())
            changing(section);
        s.keyBits = {};
        s.entries.clear();
        s.index.clear();
        s.indexStale = false;
        changed(s);
    }
}

ShowTable::Contents ShowTable::Contents::of(std::vector<Entry> entries, uint64_t generation) {
    Contents c;
    Section s;
    for (const Entry& e : entries)
        markHeld(s, LowerHash{}(e.key()));
    c.m_entries = std::move(entries);
    c.m_keyBits = s.keyBits;
    c.m_generation = generation;
    return c;
}

ShowTable::Contents ShowTable::contents(int section) const {
    Contents c;
    if (section < 0 || section >= kStepCount)
        return c;
    const Section& s = m_sections[size_t(section)];
    c.m_entries = s.entries;
    c.m_keyBits = s.keyBits;
    c.m_generation = s.generation;
    return c;
}

ShowTable::Contents ShowTable::replace(int section, Contents contents) {
    if (section < 0 || section >= kStepCount)
        return {};
    Section& s = m_sections[size_t(section)];
    Contents old;
    old.m_entries = std::move(s.entries);
    old.m_keyBits = s.keyBits;
    old.m_generation = s.generation;
    s.entries = std::move(contents.m_entries);
    s.keyBits = contents.m_keyBits;
    // The contents are those the generation named when it was handed out.
    s.generation = contents.m_generation;
    s.indexStale = true;
    ++m_changeCount;
    return old;
}

size_t ShowTable::entryCount() const {
    size_t n = 0;
    for (const Section& s : m_sections)
        n += s.entries.size();
    return n;
}

} // namespace orvane
