#include "show/firstroot.h"

#include "show/language.h"
#include "show/showfolders.h"

#include <QtGlobal>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

// `what` names the path as %1 and the reason as %2. It is translated here,
// once errno was read: the translation may change errno.
std::string failure(const char* what, const std::string& path, int error) {
    return fillIn(translate("Show folders", what), {path, std::strerror(error)});
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies one regular file; the error names the file that failed.
bool copyFile(const std::string& from, const std::string& to, std::string& error) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot read %1: %2"), from, errno);
        return false;
    }
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot create %1: %2"), to, errno);
        ::close(in);
        return false;
    }
    char buf[1 << 14];
    ssize_t n = 0;
    while ((n = ::read(in, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot read %1: %2"), from, errno);
            break;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0) {
                error =
                    failure(QT_TRANSLATE_NOOP("Show folders", "cannot write %1: %2"), to, errno);
                break;
            }
            done += w;
        }
        if (!error.empty())
            break;
    }
    ::close(in);
    if (::close(out) != 0 && error.empty())
        error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot write %1: %2"), to, errno);
    return error.empty();
}

// Copies the folder from into the new folder to: folders and regular files,
// nothing else (no links, so no loops; no hidden files such as a ".keep").
bool copyFolder(const std::string& from, const std::string& to, std::string& error) {
    if (::mkdir(to.c_str(), 0755) != 0) {
        error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot create %1: %2"), to, errno);
        return false;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(from.c_str()), ::closedir);
    if (!dir) {
        error = failure(QT_TRANSLATE_NOOP("Show folders", "cannot read %1: %2"), from, errno);
        return false;
    }
    while (const dirent* e = ::readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        std::string src = from + "/" + e->d_name, dst = to + "/" + e->d_name;
        struct stat st {};
        if (::lstat(src.c_str(), &st) != 0)
            continue;
        bool ok = true;
        if (S_ISDIR(st.st_mode))
            ok = copyFolder(src, dst, error);
        else if (S_ISREG(st.st_mode))
            ok = copyFile(src, dst, error);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool rootIsDefault(ProfileFiles& profiles) {
    const char* env = std::getenv("ORVANE_ROOT");
    return !(env && *env) && setting(profiles, "root", "").empty();
}

std::string installedDemoShow(const std::string& programPath) {
    size_t slash = programPath.rfind('/');
    if (slash == std::string::npos)
        return "";
    std::string demo = programPath.substr(0, slash) + "/../share/orvane/demo";
    return isFolder(demo) ? demo : "";
}

std::string runningProgramPath() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

FirstRoot prepareFirstRoot(const std::string& root, const std::string& demo) {
    FirstRoot r;
    struct stat st {};
    if (root.empty())
        return r;
    if (::stat(root.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            r.error = fillIn(
                translate("Show folders", "the folder of the shows %1 is not a folder"), {root});
        return r;
    }
    if (errno != ENOENT) {
        r.error =
            failure(QT_TRANSLATE_NOOP("Show folders", "cannot use the folder of the shows %1: %2"),
                    root, errno);
        return r;
    }
    if (!makeFolders(root)) {
        r.error = failure(
            QT_TRANSLATE_NOOP("Show folders", "cannot create the folder of the shows %1: %2"), root,
            errno);
        return r;
    }
    r.created = true;
    if (demo.empty())
        return r;
    if (!copyFolder(demo, showFolder(root, "demo"), r.error))
        r.error = fillIn(translate("Show folders", "the demo show was not copied: %1"), {r.error});
    else
        r.demoCopied = true;
    return r;
}

} // namespace orvane
