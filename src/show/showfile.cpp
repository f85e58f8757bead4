// Reading and writing the show file "dmx.ini": the show table's serialization.

#include "show/language.h"
#include "show/showfilelines.h"
#include "show/showstore.h"
#include "show/textutil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

std::string systemReason(int error) {
    return std::strerror(error);
}

// Reads a whole regular file. A FIFO, a device or a folder under the name is
// refused without being opened for long: a FIFO would block the program.
bool readRegularFile(const std::string& path, std::string& data, ShowFileReport& report) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        report.exists = errno != ENOENT;
        report.reason = systemReason(errno);
        return false;
    }
    report.exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        report.reason = S_ISDIR(st.st_mode) ? systemReason(EISDIR)
                                            : translate("Show file", "not a regular file");
        ::close(fd);
        return false;
    }
    if (size_t(st.st_size) > kShowFileMaxBytes) {
        report.reason = systemReason(EFBIG);
        ::close(fd);
        return false;
    }
    data.reserve(size_t(st.st_size));
    char buf[1 << 16];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            report.reason = systemReason(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        if (data.size() + size_t(n) > kShowFileMaxBytes) {
            report.reason = systemReason(EFBIG);
            ::close(fd);
            return false;
        }
        data.append(buf, size_t(n));
    }
    ::close(fd);
    return true;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isGlobalManualStep(std::string_view section, std::string_view key) {
    return equalsIgnoreCase(trimBlanks(section), "global") &&
           equalsIgnoreCase(trimBlanks(key), "manualstep");
}

bool inTable(int section) {
    return section >= 0 && section < kStepCount;
}

} // namespace

int ShowStore::LoadShowFile(const std::string& path) {
    m_lastLoad = ShowFileReport{};
    m_manualStep = 1;
    std::string data;
    if (!readRegularFile(path, data, m_lastLoad))
        return -1;
    m_lastLoad.readWhole = true;
    m_encoding = detectEncoding(data);
    const LineEnds ends = showFileLineEnds(data);
    m_lastLoad.loneCrLineEnds = ends == LineEnds::LoneCr;
    bool manualSeen = false;
    std::string section;
    std::string qualified;
    std::string_view rest(data);
    while (!rest.empty()) {
        std::string_view line = takeShowFileLine(rest, ends);
        if (line.empty())
            continue;
        ++m_lastLoad.lines;
        if (line.front() == '[') {
            ++m_lastLoad.headers;
            line.remove_prefix(1);
            if (!line.empty())
                line.remove_suffix(1); // the closing bracket
            section.assign(line);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos || section.empty()) {
            ++m_lastLoad.unreadLines;
            continue;
        }
        std::string_view key = line.substr(0, eq);
        std::string_view value = line.substr(eq + 1);
        if (!manualSeen && isGlobalManualStep(section, key)) {
            m_manualStep = uint32_t(leadingIntClamped(value, 0, kStepCount - 1));
            manualSeen = true;
        }
        size_t dollar = key.find('$');
        int number = 0;
        if (dollar != std::string_view::npos) {
            number = ShowTable::sectionNumber(key.substr(0, dollar));
            m_table.write(number, key, value);
        } else {
            qualified.assign(section).append(1, '$').append(key);
            number = ShowTable::sectionNumber(section);
            m_table.write(number, qualified, value);
        }
        if (!inTable(number))
            ++m_lastLoad.unreadLines;
    }
    return 0;
}

namespace {

// Buffered writer on a file descriptor that remembers the first failure.
class LineWriter {
public:
    explicit LineWriter(int fd) : m_fd(fd) { m_buf.reserve(2 * kChunk); }

    // Writes "key=value" (or the bare text when value is null) and CR LF, whole.
    // A line end inside the text would split the entry, so the text stops
    // there (no text the program makes holds one); a lone CR is kept.
    bool line(std::string_view key, const std::string_view* value) {
        m_buf.append(untilLineEnd(key));
        if (value) {
            m_buf.push_back('=');
            m_buf.append(untilLineEnd(*value));
        }
        m_buf.append("\r\n");
        return m_buf.size() < kChunk || flush();
    }
    // A section header, then the key under it.
    bool headerAndKey(std::string_view section, std::string_view key, std::string_view value) {
        std::string header = "[" + std::string(untilLineEnd(section)) + "]";
        return line(header, nullptr) && line(key, &value);
    }
    bool flush() {
        if (m_fd < 0)
            return true; // writing into memory: the buffer is the text
        const char* p = m_buf.data();
        size_t left = m_buf.size();
        while (left > 0) {
            ssize_t n = ::write(m_fd, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : ENOSPC;
                return false;
            }
            p += n;
            left -= size_t(n);
        }
        m_buf.clear();
        return true;
    }
    int error() const { return m_error; }
    std::string take() { return std::move(m_buf); }

private:
    static constexpr size_t kChunk = 1 << 16;
    static std::string_view untilLineEnd(std::string_view s) {
        size_t lf = s.find('\n');
        if (lf == std::string_view::npos)
            return s;
        s = s.substr(0, lf);
        if (!s.empty() && s.back() == '\r')
            s.remove_suffix(1); // the CR of a CR LF pair
        return s;
    }
    int m_fd;
    std::string m_buf;
    int m_error = 0;
};

std::string tempNameFor(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "/." + base + ".XXXXXX";
}

// An entry is written as "key=value" when reading that line gives the same key
// back. A key that holds "=" or begins with "[" came from a section header
// (its section text is everything before its last "$"), so it is written as
// that header followed by its plain key.
bool entry(LineWriter& w, std::string_view key, std::string_view value) {
    if (key.find('=') == std::string_view::npos && (key.empty() || key.front() != '['))
        return w.line(key, &value);
    size_t dollar = key.rfind('$');
    return w.headerAndKey(key.substr(0, dollar), key.substr(dollar + 1), value);
}

int writeLines(LineWriter& w, const ShowStore::SectionSource& table, uint32_t manualStep,
               const ShowStore::Progress& progress) {
    if (!w.line("[GLOBAL]", nullptr))
        return -2;
    std::string manual = std::to_string(manualStep);
    std::string_view manualView(manual);
    if (!w.line("manualstep", &manualView))
        return -3;
    for (int s = 0; s < kStepCount; ++s) {
        if (progress)
            progress(unsigned(s), unsigned(kStepCount));
        for (const ShowTable::Entry& e : table(s))
            if (!entry(w, e.key(), e.value))
                return -5;
    }
    return w.flush() ? 0 : -5;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Puts the new file in place, the previous one kept as "<path>.bak". The old
// file's name is linked to ".bak" first, so a show file exists at every moment;
// where the file system has no links it is renamed. 0, or the errno. When the
// previous file could not be kept (".bak" is a folder, or cannot be written),
// the new file goes in place all the same and backupError says why.
int replaceKeepingBackup(const std::string& tmp, const std::string& path, int& backupError) {
    std::string backup = path + ".bak";
    bool movedAside = false;
    backupError = 0;
    if (isRegularFile(path)) {
        if (::unlink(backup.c_str()) != 0 && errno != ENOENT)
            backupError = errno;
        else if (::link(path.c_str(), backup.c_str()) != 0)
            backupError = errno;
        if (backupError != 0) {
            movedAside = ::rename(path.c_str(), backup.c_str()) == 0;
            if (movedAside)
                backupError = 0;
        }
    }
    if (::rename(tmp.c_str(), path.c_str()) == 0)
        return 0;
    int error = errno;
    if (movedAside)
        ::rename(backup.c_str(), path.c_str());
    return error;
}

} // namespace

int ShowStore::WriteShowFile(const std::string& path, const Progress& progress) {
    m_lastWriteReason.clear();
    m_lastBackupReason.clear();
    std::string tmp = tempNameFor(path);
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        m_lastWriteReason = systemReason(errno);
        return -1;
    }
    ::fchmod(fd, 0644);
    LineWriter w(fd);
    int result = writeLines(
        w, [this](int s) -> const auto& { return m_table.entries(s); }, m_manualStep, progress);
    int error = w.error();
    if (result == 0 && ::fsync(fd) != 0) {
        result = -5;
        error = errno;
    }
    if (::close(fd) != 0 && result == 0) {
        result = -5;
        error = errno;
    }
    int backupError = 0;
    if (result == 0 && (error = replaceKeepingBackup(tmp, path, backupError)) != 0)
        result = -1;
    if (result == 0 && backupError != 0)
        m_lastBackupReason = systemReason(backupError);
    if (result != 0) {
        ::unlink(tmp.c_str());
        m_lastWriteReason = systemReason(error ? error : EIO);
    }
    if (progress)
        progress(unsigned(kStepCount), unsigned(kStepCount));
    return result;
}

std::string ShowStore::HeadText() const {
    LineWriter w(-1);
    w.line("[GLOBAL]", nullptr);
    std::string manual = std::to_string(m_manualStep);
    std::string_view manualView(manual);
    w.line("manualstep", &manualView);
    return w.take();
}

std::string ShowStore::SectionText(const std::vector<ShowTable::Entry>& entries) const {
    LineWriter w(-1);
    for (const ShowTable::Entry& e : entries)
        entry(w, e.key(), e.value);
    return w.take();
}

std::string ShowStore::ShowFileText(const SectionSource& sections) const {
    LineWriter w(-1);
    SectionSource own = [this](int s) -> const std::vector<ShowTable::Entry>& {
        return m_table.entries(s);
    };
    writeLines(w, sections ? sections : own, m_manualStep, {});
    return w.take();
}

} // namespace orvane
