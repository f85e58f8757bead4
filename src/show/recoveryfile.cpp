#include "show/recoveryfile.h"

#include "show/language.h"
#include "show/showstore.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr std::string_view kSealStart = "[orvane recovery "; // untranslated: a line of the file
constexpr std::string_view kSealEnd = "]\r\n";
// The longest closing line: the start, two numbers, the words and the end.
constexpr size_t kSealMax = 96;

uint64_t fnv1a64(std::string_view data) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (char c : data) {
        h ^= uint8_t(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string sealLine(std::string_view body) {
    char buf[kSealMax];
    char* p = buf;
    char* end = buf + sizeof buf;
    auto put = [&p](std::string_view s) {
        std::memcpy(p, s.data(), s.size());
        p += s.size();
    };
    put(kSealStart);
    p = std::to_chars(p, end, body.size()).ptr;
    put(" bytes fnv1a64 "); // untranslated: a line of the file
    uint64_t sum = fnv1a64(body);
    char hex[16];
    auto r = std::to_chars(hex, hex + sizeof hex, sum, 16);
    put(std::string(size_t(16 - (r.ptr - hex)), '0'));
    put(std::string_view(hex, size_t(r.ptr - hex)));
    put(kSealEnd);
    return std::string(buf, size_t(p - buf));
}

// Why a file's text is not a whole recovery file; nothing when it is.
std::optional<std::string> sealProblem(std::string_view text) {
    size_t start = text.size() >= 2 ? text.rfind('\n', text.size() - 2) : std::string_view::npos;
    start = start == std::string_view::npos ? 0 : start + 1;
    std::string_view last = text.substr(start);
    if (last.substr(0, kSealStart.size()) != kSealStart || last.size() < kSealEnd.size() ||
        last.substr(last.size() - kSealEnd.size()) != kSealEnd)
        return translate("Recovery", "its closing line is missing (the file was cut short or "
                                     "written by something else)");
    std::string_view body = text.substr(0, start);
    if (last != sealLine(body))
        return translate("Recovery", "its contents do not match its closing line (the file was "
                                     "changed or damaged)");
    return std::nullopt;
}

bool readWhole(int fd, std::string& data, int& error) {
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            return false;
        }
        if (n == 0)
            return true;
        if (data.size() + size_t(n) > kShowFileMaxBytes + kSealMax) {
            error = EFBIG;
            return false;
        }
        data.append(buf, size_t(n));
    }
}

bool later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view data, int& error) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data.remove_prefix(size_t(n));
    }
    return true;
}

} // namespace

std::string recoveryFilePath(const std::string& showFilePath) {
    return showFilePath + ".recovery";
}

std::string sealRecoveryText(std::string showText) {
    std::string seal = sealLine(showText);
    showText += seal;
    return showText;
}

RecoveryFileCheck checkRecoveryFile(const std::string& recoveryPath,
                                    const std::string& showFilePath) {
    RecoveryFileCheck check;
    int fd = ::open(recoveryPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT) {
            check.state = RecoveryFileCheck::State::Damaged;
            check.reason = std::strerror(errno);
        }
        return check;
    }
    struct stat st {};
    int error = 0;
    std::string text;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        check.state = RecoveryFileCheck::State::Damaged;
        check.reason = translate("Recovery", "not a regular file");
        ::close(fd);
        return check;
    }
    check.written = st.st_mtim;
    struct stat show {};
    if (error == 0 && ::stat(showFilePath.c_str(), &show) == 0 &&
        !later(st.st_mtim, show.st_mtim)) {
        ::close(fd);
        check.state = RecoveryFileCheck::State::Older;
        return check;
    }
    if (error == 0)
        readWhole(fd, text, error);
    ::close(fd);
    check.state = RecoveryFileCheck::State::Damaged;
    if (error != 0) {
        check.reason = std::strerror(error);
        return check;
    }
    if (std::optional<std::string> problem = sealProblem(text)) {
        check.reason = *problem;
        return check;
    }
    check.state = RecoveryFileCheck::State::Usable;
    return check;
}

int writeFileWhole(const std::string& path, std::string_view data) {
    std::string folder = folderOf(path);
    size_t slash = path.rfind('/');
    std::string tmp =
        folder + "/." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return errno;
    int error = 0;
    ::fchmod(fd, 0644);
    bool ok = writeAll(fd, data, error);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return error ? error : EIO;
    }
    // The new name must reach the disk too: a power cut must not take it back.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

namespace {

std::string joined(const RecoveryWriter::Parts& parts) {
    size_t size = 0;
    for (const auto& p : parts)
        size += p ? p->size() : 0;
    std::string text;
    text.reserve(size + 128);
    for (const auto& p : parts)
        if (p)
            text += *p;
    return text;
}

} // namespace

RecoveryWriter::RecoveryWriter(std::string path, std::function<void(const Report&)> done)
    : m_path(std::move(path)), m_done(std::move(done)), m_thread([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void RecoveryWriter::write(std::string sealedText) {
    {
        std::lock_guard lock(m_mutex);
        m_job = Job::Write;
        m_text = std::move(sealedText);
        m_parts.clear();
    }
    m_wake.notify_one();
}

void RecoveryWriter::write(Parts showTextParts) {
    {
        std::lock_guard lock(m_mutex);
        m_job = Job::Write;
        m_text.clear();
        m_parts = std::move(showTextParts);
    }
    m_wake.notify_one();
}

void RecoveryWriter::remove() {
    {
        std::lock_guard lock(m_mutex);
        m_job = Job::Remove;
        m_text.clear();
        m_parts.clear();
    }
    m_wake.notify_one();
}

void RecoveryWriter::waitIdle() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_job == Job::None && !m_running; });
}

void RecoveryWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_job != Job::None; });
        if (m_job == Job::None)
            return; // stopping, nothing left to do
        Job job = m_job;
        std::string text = std::move(m_text);
        Parts parts = std::move(m_parts);
        m_parts.clear();
        m_job = Job::None;
        m_running = true;
        lock.unlock();
        Report report;
        report.removal = job == Job::Remove;
        if (!parts.empty())
            text = sealRecoveryText(joined(parts));
        if (job == Job::Write)
            report.error = writeFileWhole(m_path, text);
        else if (::unlink(m_path.c_str()) != 0 && errno != ENOENT)
            report.error = errno;
        if (m_done)
            m_done(report);
        lock.lock();
        m_running = false;
        if (m_job == Job::None)
            m_idle.notify_all();
    }
}

} // namespace orvane
