#pragma once
// The in-memory show table: 500 step sections, each a list of entries in the
// order they entered the table. An entry is a qualified key ("12$master") and a
// value text. Keys compare without regard to case and the first match wins; an
// index per section keeps lookups constant-time without changing either rule.
// User-interface thread only.

#include "show/steprecord.h"

#include <array>
#include <cstdint>
#include <functional>
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

    // What one section holds at one moment, taken whole and put back whole:
    // the edits of a show keep them to give back the exact entries (keys,
    // values and their order) a change replaced.
    class Contents {
    public:
        Contents() = default;
        const std::vector<Entry>& entries() const { return m_entries; }
        uint64_t generation() const { return m_generation; }
        // The entries of a section written back in this order (the filter of
        // their keys is worked out again).
        static Contents of(std::vector<Entry> entries, uint64_t generation);

    private:
        friend class ShowTable;
        std::vector<Entry> m_entries;
        std::array<uint64_t, 8> m_keyBits{};
        uint64_t m_generation = 0;
    };
    // A copy of the section (empty outside 0..499).
    Contents contents(int section) const;
    // Puts contents in place of the section's, with the generation they had,
    // and returns what the section held. Nothing is copied: undoing a change
    // that moved every step costs a few pointers per step.
    Contents replace(int section, Contents contents);

    // Told before the first change of a section's contents by write() or
    // clear() (never by replace()), while its entries are still as they were.
    using ChangeHook = std::function<void(int section)>;
    void setChangeHook(ChangeHook hook) { m_changeHook.hook = std::move(hook); }
    // Counts every change of the table's contents, replace() included.
    uint64_t changeCount() const { return m_changeCount; }

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
        // lower-case key -> position of its first entry; built again on the
        // first lookup that needs it after replace() (stale until then)
        mutable std::unordered_map<std::string, int, LowerHash, LowerEq> index;
        mutable bool indexStale = false;
        uint64_t generation = 0; // 0: empty since the table was made
    };
    void changed(Section& s);
    void changing(int section);
    static void rebuildIndex(const Section& s);
    static int lookup(const Section& s, std::string_view qualifiedKey, size_t* cursor);
    static bool mayHold(const Section& s, size_t keyHash);
    static void markHeld(Section& s, size_t keyHash);
    // A copy of the table is a table of its own: nobody watches it yet.
    struct HookSlot {
        HookSlot() = default;
        HookSlot(const HookSlot&) {}
        HookSlot& operator=(const HookSlot&) { return *this; }
        ChangeHook hook;
    };
    std::array<Section, kStepCount> m_sections;
    HookSlot m_changeHook;
    uint64_t m_changeCount = 0;
};

} // namespace orvane
