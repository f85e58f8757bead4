// Reading and writing the show file "dmx.ini": the show table's serialization.

#include "show/showstore.h"
#include "show/textutil.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr size_t kReadLineMax = 2047; // characters a read line holds

std::string readFile(const std::string& path, bool& ok) {
    std::string data;
    FILE* f = std::fopen(path.c_str(), "rb");
    ok = f != nullptr;
    if (!f)
        return data;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    std::fclose(f);
    return data;
}

// Takes the next line as a 2048-byte line reader would: up to and including the
// line feed, or 2047 characters, or what is left. Then the line end goes: CR LF
// or LF counts as one; a line without one loses its last character.
std::string_view nextLine(std::string_view& rest) {
    size_t lf = rest.find('\n');
    size_t take = lf == std::string_view::npos ? rest.size() : lf + 1;
    bool crlf = lf != std::string_view::npos && lf > 0 && rest[lf - 1] == '\r';
    size_t budget = kReadLineMax + (crlf ? 1 : 0);
    if (take > budget)
        take = budget;
    std::string_view line = rest.substr(0, take);
    rest.remove_prefix(take);
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
    } else if (!line.empty()) {
        line.remove_suffix(1);
    }
    return line;
}

bool isGlobalManualStep(std::string_view section, std::string_view key) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    };
    return equalsIgnoreCase(trim(section), "global") && equalsIgnoreCase(trim(key), "manualstep");
}

} // namespace

int ShowStore::LoadShowFile(const std::string& path) {
    bool ok = false;
    std::string data = readFile(path, ok);
    m_manualStep = 1;
    if (!ok)
        return -1;
    bool manualSeen = false;
    std::string section;
    std::string qualified;
    std::string_view rest(data);
    while (!rest.empty()) {
        std::string_view line = nextLine(rest);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            if (!line.empty())
                line.remove_suffix(1); // the closing bracket
            section.assign(line);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos || section.empty())
            continue;
        std::string_view key = line.substr(0, eq);
        std::string_view value = line.substr(eq + 1);
        if (!manualSeen && isGlobalManualStep(section, key)) {
            m_manualStep = static_cast<uint32_t>(leadingInt(value));
            manualSeen = true;
        }
        size_t dollar = key.find('$');
        if (dollar != std::string_view::npos) {
            m_table.write(ShowTable::sectionNumber(key.substr(0, dollar)), key, value);
            continue;
        }
        qualified.assign(section).append(1, '$').append(key);
        m_table.write(ShowTable::sectionNumber(section), qualified, value);
    }
    return 0;
}

namespace {

// Buffered writer on a file descriptor that remembers the first failure.
class LineWriter {
public:
    explicit LineWriter(int fd) : m_fd(fd) { m_buf.reserve(kChunk + 2048); }

    // Writes "key=value" (or the bare text when value is null) and CR LF, cut so
    // that the whole line fits a written line's limit. A line end inside the
    // text would split the entry, so the text stops there.
    bool line(std::string_view key, const std::string_view* value) {
        size_t start = m_buf.size();
        m_buf.append(untilLineEnd(key));
        if (value) {
            m_buf.push_back('=');
            m_buf.append(untilLineEnd(*value));
        }
        std::string_view body(m_buf.data() + start, m_buf.size() - start);
        m_buf.resize(start + cutUtf8(body, kShowLineMax - 2).size());
        m_buf.append("\r\n");
        return m_buf.size() < kChunk || flush();
    }
    bool flush() {
        const char* p = m_buf.data();
        size_t left = m_buf.size();
        while (left > 0) {
            ssize_t n = ::write(m_fd, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            left -= size_t(n);
        }
        m_buf.clear();
        return true;
    }

private:
    static constexpr size_t kChunk = 1 << 16;
    static std::string_view untilLineEnd(std::string_view s) {
        return s.substr(0, s.find_first_of("\r\n"));
    }
    int m_fd;
    std::string m_buf;
};

std::string tempNameFor(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "/." + base + ".XXXXXX";
}

int writeLines(LineWriter& w, const ShowTable& table, uint32_t manualStep,
               const ShowStore::Progress& progress) {
    std::string_view global("GLOBAL");
    if (!w.line(format("[%.*s]", int(global.size()), global.data()), nullptr))
        return -2;
    std::string manual = std::to_string(manualStep);
    std::string_view manualView(manual);
    if (!w.line("manualstep", &manualView))
        return -3;
    for (int s = 0; s < kStepCount; ++s) {
        if (progress)
            progress(unsigned(s), unsigned(kStepCount));
        for (const ShowTable::Entry& e : table.entries(s)) {
            std::string_view v(e.value);
            if (!w.line(e.key(), &v))
                return -5;
        }
    }
    return w.flush() ? 0 : -5;
}

} // namespace

int ShowStore::WriteShowFile(const std::string& path, const Progress& progress) {
    std::string tmp = tempNameFor(path);
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return -1;
    ::fchmod(fd, 0644);
    LineWriter w(fd);
    int result = writeLines(w, m_table, m_manualStep, progress);
    if (result == 0 && ::fsync(fd) != 0)
        result = -5;
    if (::close(fd) != 0 && result == 0)
        result = -5;
    if (result == 0 && ::rename(tmp.c_str(), path.c_str()) != 0)
        result = -1;
    if (result != 0)
        ::unlink(tmp.c_str());
    if (progress)
        progress(unsigned(kStepCount), unsigned(kStepCount));
    return result;
}

} // namespace orvane
