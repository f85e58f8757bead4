#include "show/showtable.h"

#include "show/textutil.h"

#include <cctype>

namespace orvane {

namespace {

// Lower-cases a key into a small stack buffer; long keys fall back to the heap.
class LowerKey {
public:
    explicit LowerKey(std::string_view key) {
        if (key.size() <= sizeof m_buf) {
            for (size_t i = 0; i < key.size(); ++i)
                m_buf[i] = char(std::tolower(static_cast<unsigned char>(key[i])));
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

} // namespace

size_t ShowTable::LowerHash::operator()(std::string_view s) const {
    // FNV-1a: keys are short and differ in their last characters.
    size_t h = 1469598103934665603ull;
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

int ShowTable::sectionNumber(std::string_view sectionText) { return leadingInt(sectionText); }

const std::string* ShowTable::find(int section, std::string_view qualifiedKey) const {
    if (section < 0 || section >= kStepCount)
        return nullptr;
    const Section& s = m_sections[section];
    LowerKey lower(qualifiedKey);
    auto it = s.index.find(lower.view());
    return it == s.index.end() ? nullptr : &s.entries[it->second].value;
}

void ShowTable::write(int section, std::string_view qualifiedKey, std::string_view value) {
    if (section < 0 || section >= kStepCount)
        return;
    Section& s = m_sections[section];
    LowerKey lower(qualifiedKey);
    auto it = s.index.find(lower.view());
    if (it != s.index.end()) {
        s.entries[it->second].value.assign(value);
        return;
    }
    s.index.emplace(std::string(lower.view()), int(s.entries.size()));
    s.entries.push_back({std::string(qualifiedKey), std::string(value)});
}

const std::vector<ShowTable::Entry>& ShowTable::entries(int section) const {
    static const std::vector<Entry> kEmpty;
    return section < 0 || section >= kStepCount ? kEmpty : m_sections[section].entries;
}

void ShowTable::clear() {
    for (Section& s : m_sections) {
        s.entries.clear();
        s.index.clear();
    }
}

size_t ShowTable::entryCount() const {
    size_t n = 0;
    for (const Section& s : m_sections)
        n += s.entries.size();
    return n;
}

} // namespace orvane
