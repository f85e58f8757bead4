#pragma once
// Profile files (effect files, the user profile): the classic private-profile
// contract. Sections and keys compare without regard to case, the first match
// wins, lines end in CR LF when written and in LF or CR LF when read, blank lines
// and "key=value" as well as "key = value" are accepted, ";" starts a comment.
// User-interface thread only.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

// A profile or effect file larger than this, or of more lines, is not read: a
// full effect file of 500 steps is about 3 MB in 160 000 lines.
constexpr size_t kProfileFileMaxBytes = size_t(16) << 20;
constexpr size_t kProfileFileMaxLines = 400000;
// Files whose contents are kept between reads (the most recently used ones).
constexpr size_t kProfileFilesCached = 4;

class IniDocument {
public:
    // A text of more than maxLines non-blank lines gives an empty document.
    static IniDocument parse(std::string_view text, size_t maxLines = SIZE_MAX);
    std::string serialize() const; // CR LF line ends

    std::optional<std::string_view> get(std::string_view section, std::string_view key) const;
    void set(std::string_view section, std::string_view key, std::string_view value);
    void erase(std::string_view section, std::string_view key);
    std::vector<std::string> sectionNames() const;
    // The keys of the first section of that name, in file order.
    std::vector<std::string> keyNames(std::string_view section) const;
    bool hasSection(std::string_view section) const;

private:
    struct Entry {
        std::string key;
        std::string value; // the whole line for a line kept as it is
        bool kept = false; // a comment or a line without "=", kept as it is
    };
    // Lower-case name -> position of the first match, so that reading a file
    // of many sections costs time in proportion to its size.
    struct CaseHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const;
    };
    struct CaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Index = std::unordered_map<std::string, size_t, CaseHash, CaseEqual>;
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        Index keys;
        void add(Entry e);
        const Entry* find(std::string_view key) const;
    };
    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    Section& addSection(std::string_view name);
    std::vector<Section> m_sections;
    Index m_index;
};

// Reads and writes profile files by path, like the platform calls it stands in
// for. Each read sees the file as it is on disk (a cached copy is reused while the
// file's size and time are unchanged); each write reaches the disk at once unless
// a batch is open, in which case the batch's end writes every changed file. Within
// a batch a file is looked at once: its many reads (a whole effect) see that copy.
class ProfileFiles {
public:
    int32_t readInt(const std::string& path, std::string_view section, std::string_view key,
                    int32_t def);
    // The value, or def when absent, cut to size - 1 bytes (size 0 gives "").
    std::string readString(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view def, size_t size = 1024);
    bool writeString(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value);
    bool hasSection(const std::string& path, std::string_view section);
    // The stored value, or nothing when absent; valid until the next call.
    std::optional<std::string_view> lookup(const std::string& path, std::string_view section,
                                           std::string_view key);

    void beginBatch();
    bool endBatch(); // false when a file could not be written
    ~ProfileFiles();

    size_t cachedFiles() const { return m_files.size(); }

private:
    struct Cached {
        IniDocument doc;
        int64_t size = -1;
        int64_t mtimeNs = -1;
        bool dirty = false;
        bool seenInBatch = false;
        uint64_t lastUse = 0;
    };
    Cached& open(const std::string& path);
    void forgetLeastUsed();
    bool flush(const std::string& path, Cached& c);
    std::map<std::string, Cached> m_files;
    int m_batch = 0;
    uint64_t m_uses = 0;
};

// Writes a whole file through a temporary file in the same folder, flushed and
// renamed over the old one: a failed write leaves the previous file untouched.
bool writeFileAtomically(const std::string& path, std::string_view contents);

} // namespace orvane
