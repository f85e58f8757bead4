#include "show/showtable.h"

#include "show/textutil.h"

#include <atomic>
#include <cctype>

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
}

uint64_t ShowTable::generation(int section) const {
    return section < 0 || section >= kStepCount ? 0 : m_sections[section].generation;
}

size_t ShowTable::LowerHash::operator()(std::string_view s) const {
    // FNV-1a: keys are short and differ in their last characters.
    size_t h = 1469598103934665603ull;
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
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

int ShowTable::lookup(const Section& s, std::string_view qualifiedKey, size_t* cursor) {
    int found = -1;
    if (cursor && *cursor < s.entries.size() &&
        equalsIgnoreCase(s.entries[*cursor].key(), qualifiedKey)) {
        found = int(*cursor);
    } else {
        LowerKey lower(qualifiedKey);
        auto it = s.index.find(lower.view());
        if (it != s.index.end())
            found = it->second;
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
            s.entries[i].value.assign(value);
            changed(s);
        }
        return;
    }
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
    for (Section& s : m_sections) {
        s.entries.clear();
        s.index.clear();
        changed(s);
    }
}

size_t ShowTable::entryCount() const {
    size_t n = 0;
    for (const Section& s : m_sections)
        n += s.entries.size();
    return n;
}

} // namespace orvane
