#pragma once
// The in-memory show table: 500 step sections, each a list of entries in the
// order they entered the table. An entry is a qualified key ("12$master") and a
// value text. Keys compare without regard to case and the first match wins; an
// index per section keeps lookups constant-time without changing either rule.
// User-interface thread only.

#include "show/steprecord.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

class ShowTable {
public:
    // A qualified key as it was first written, and its value. Keys short enough
    // live inside the entry, so walking a section touches one block of memory.
    class Entry {
    public:
        Entry(std::string_view key, std::string_view value);
        std::string_view key() const {
            return m_long.empty() ? std::string_view(m_short, m_shortLength) : m_long;
        }
        std::string value;

    private:
        char m_short[30];
        uint8_t m_shortLength = 0;
        std::string m_long;
    };

    // The section number of a section text: its leading decimal integer.
    static int sectionNumber(std::string_view sectionText);

    // cursor, when given, is where the search looks first (and is left just
    // past the entry found): a step's keys are mostly read and written in the
    // order they are stored, so this spares most index lookups. Keys are unique
    // within a section, so a hit there is the first match.
    const std::string* find(int section, std::string_view qualifiedKey,
                            size_t* cursor = nullptr) const;
    // Replaces the value in place, or appends the entry. Sections outside
    // 0..499 hold nothing: the write is dropped.
    void write(int section, std::string_view qualifiedKey, std::string_view value,
               size_t* cursor = nullptr);

    const std::vector<Entry>& entries(int section) const;
    void clear();
    size_t entryCount() const;

    // Changes whenever the section's contents change: a write of a different
    // value, a new entry, clear(). The numbers come from one counter for the
    // whole program, so a number once seen always stands for the same contents,
    // in this table or in any other (a table replaced by another one included).
    // Caches of what a step shows compare it to know they are still right.
    uint64_t generation(int section) const;

private:
    struct LowerHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const;
    };
    struct LowerEq {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
    };
    struct Section {
        // Two bits per key of the index, from its hash: a key missing one of
        // its bits is not in the section. A step load asks a sparse section
        // for hundreds of keys it does not hold; this answers them at once.
        std::array<uint64_t, 8> keyBits{};
        std::vector<Entry> entries;
        // lower-case key -> position of its first entry
        std::unordered_map<std::string, int, LowerHash, LowerEq> index;
        uint64_t generation = 0; // 0: empty since the table was made
    };
    static void changed(Section& s);
    static int lookup(const Section& s, std::string_view qualifiedKey, size_t* cursor);
    static bool mayHold(const Section& s, size_t keyHash);
    static void markHeld(Section& s, size_t keyHash);
    std::array<Section, kStepCount> m_sections;
};

} // namespace orvane
