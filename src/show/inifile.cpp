#include "show/inifile.h"

#include "show/textutil.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

static std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

size_t IniDocument::CaseHash::operator()(std::string_view s) const {
    size_t h = 1469598103934665603ull; // FNV-1a over the lower-case text
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(asciiLower(c))) * 1099511628211ull;
    return h;
}

bool IniDocument::CaseEqual::operator()(std::string_view a, std::string_view b) const {
    return equalsIgnoreCase(a, b);
}

void IniDocument::Section::add(Entry e) {
    if (!e.kept)
        keys.emplace(e.key, entries.size()); // the first one stays
    entries.push_back(std::move(e));
}

const IniDocument::Entry* IniDocument::Section::find(std::string_view key) const {
    auto it = keys.find(key);
    return it == keys.end() ? nullptr : &entries[it->second];
}

IniDocument::Section& IniDocument::addSection(std::string_view name) {
    m_index.emplace(std::string(name), m_sections.size());
    m_sections.push_back({std::string(name), {}, {}});
    return m_sections.back();
}

IniDocument IniDocument::parse(std::string_view text, size_t maxLines) {
    IniDocument doc;
    Section* current = nullptr;
    size_t lines = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty())
            continue;
        if (++lines > maxLines)
            return IniDocument{};
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name = trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            current = &doc.addSection(name);
            continue;
        }
        if (!current)
            continue;
        size_t eq = line.find('=');
        if (line.front() == ';' || eq == std::string_view::npos) {
            current->add({std::string(), std::string(line), true});
            continue;
        }
        current->add(
            {std::string(trim(line.substr(0, eq))), std::string(trim(line.substr(eq + 1))), false});
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const Section& s : m_sections) {
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const Entry& e : s.entries) {
            if (!e.kept) {
                out += e.key;
                out += '=';
            }
            out += e.value;
            out += "\r\n";
        }
    }
    return out;
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_sections[it->second];
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    return const_cast<IniDocument*>(this)->findSection(name);
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

std::optional<std::string_view> IniDocument::get(std::string_view section,
                                                 std::string_view key) const {
    const Section* s = findSection(section);
    const Entry* e = s ? s->find(key) : nullptr;
    if (!e)
        return std::nullopt;
    return std::string_view(e->value);
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = findSection(section);
    if (!s)
        s = &addSection(section);
    if (auto it = s->keys.find(key); it != s->keys.end()) {
        s->entries[it->second].value = std::string(value);
        return;
    }
    s->add({std::string(key), std::string(value), false});
}

void IniDocument::erase(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (!s)
        return;
    std::erase_if(s->entries,
                  [&](const Entry& e) { return !e.kept && equalsIgnoreCase(e.key, key); });
    s->keys.clear();
    for (size_t i = 0; i < s->entries.size(); ++i)
        if (!s->entries[i].kept)
            s->keys.emplace(s->entries[i].key, i);
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> out;
    for (const Section& s : m_sections)
        out.push_back(s.name);
    return out;
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const {
    std::vector<std::string> out;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries)
            if (!e.kept)
                out.push_back(e.key);
    return out;
}

static bool statFile(const std::string& path, int64_t& size, int64_t& mtimeNs) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    size = st.st_size;
    mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

// Only a regular file of a sensible size is read: a FIFO under the name would
// block the program, a huge file (or one of the kernel's endless ones) would
// fill its memory. Either reads as an empty file.
static std::string readWholeFile(const std::string& path) {
    std::string out;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        size_t(st.st_size) <= kProfileFileMaxBytes) {
        char buf[65536];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
            if (n > 0)
                out.append(buf, size_t(n));
            if (out.size() > kProfileFileMaxBytes) {
                out.clear();
                break;
            }
        }
    }
    ::close(fd);
    return out;
}

ProfileFiles::Cached& ProfileFiles::open(const std::string& path) {
    if (m_files.size() >= kProfileFilesCached && !m_files.count(path))
        forgetLeastUsed();
    Cached& c = m_files[path];
    c.lastUse = ++m_uses;
    if (c.dirty)
        return c; // our own unwritten changes are the newest state
    if (m_batch > 0 && c.seenInBatch)
        return c; // within a batch the file looked at once stands for the whole batch
    c.seenInBatch = m_batch > 0;
    int64_t size = -1, mtime = -1;
    bool exists = statFile(path, size, mtime);
    if (!exists) {
        c = Cached{};
        c.seenInBatch = m_batch > 0;
        c.lastUse = m_uses;
        return c;
    }
    if (size != c.size || mtime != c.mtimeNs) {
        c.doc = IniDocument::parse(readWholeFile(path), kProfileFileMaxLines);
        c.size = size;
        c.mtimeNs = mtime;
    }
    return c;
}

int32_t ProfileFiles::readInt(const std::string& path, std::string_view section,
                              std::string_view key, int32_t def) {
    auto v = open(path).doc.get(section, key);
    return v ? leadingInt(*v) : def;
}

std::string ProfileFiles::readString(const std::string& path, std::string_view section,
                                     std::string_view key, std::string_view def, size_t size) {
    auto v = open(path).doc.get(section, key);
    std::string_view value = v ? *v : def;
    if (size == 0)
        return {};
    return std::string(cutUtf8(value, size - 1));
}

std::optional<std::string_view>
ProfileFiles::lookup(const std::string& path, std::string_view section, std::string_view key) {
    return open(path).doc.get(section, key);
}

bool ProfileFiles::hasSection(const std::string& path, std::string_view section) {
    return open(path).doc.hasSection(section);
}

bool ProfileFiles::writeString(const std::string& path, std::string_view section,
                               std::string_view key, std::string_view value) {
    Cached& c = open(path);
    c.doc.set(section, key, value);
    c.dirty = true;
    return m_batch > 0 ? true : flush(path, c);
}

bool ProfileFiles::flush(const std::string& path, Cached& c) {
    if (!c.dirty)
        return true;
    bool ok = writeFileAtomically(path, c.doc.serialize());
    c.dirty = false;
    if (!ok || !statFile(path, c.size, c.mtimeNs)) {
        c.size = c.mtimeNs = -1;
        return false;
    }
    return true;
}

// The least recently used file without unwritten changes goes out of the cache.
void ProfileFiles::forgetLeastUsed() {
    auto oldest = m_files.end();
    for (auto it = m_files.begin(); it != m_files.end(); ++it)
        if (!it->second.dirty &&
            (oldest == m_files.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    if (oldest != m_files.end())
        m_files.erase(oldest);
}

void ProfileFiles::beginBatch() {
    if (m_batch++ == 0)
        for (auto& entry : m_files)
            entry.second.seenInBatch = false;
}

bool ProfileFiles::endBatch() {
    if (m_batch > 0 && --m_batch > 0)
        return true;
    bool ok = true;
    for (auto& [path, c] : m_files)
        ok = flush(path, c) && ok;
    return ok;
}

ProfileFiles::~ProfileFiles() {
    m_batch = 0;
    for (auto& [path, c] : m_files)
        flush(path, c);
}

static std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

bool writeFileAtomically(const std::string& path, std::string_view contents) {
    std::string tmp = folderOf(path) + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    bool ok = true;
    const char* p = contents.data();
    size_t left = contents.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= size_t(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ::fchmod(fd, 0644);
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

} // namespace orvane
