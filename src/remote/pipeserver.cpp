#include "remote/pipeserver.h"

#include "dmx/uiwake.h"
#include "show/language.h"
#include "show/showfolders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr int kBacklog = 4;
constexpr int kAcceptsPerTick = 8;

std::string reason() {
    return std::strerror(errno);
}

bool socketAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A socket file at path: false (with the reason) when another program still
// listens on it or it is something else; a file nobody listens on is removed.
bool clearStaleSocket(const std::string& path, const sockaddr_un& addr, std::string* error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return true;
    if (!S_ISSOCK(st.st_mode)) {
        *error = fillIn(translate("Pipes", "%1 exists and is not a socket"), {path});
        return false;
    }
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        *error = reason();
        return false;
    }
    int rc = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    int err = errno;
    ::close(probe);
    if (rc == 0 || err == EAGAIN) {
        *error = fillIn(translate("Pipes", "%1 is in use by another program"), {path});
        return false;
    }
    if (err != ECONNREFUSED) {
        *error = path + ": " + std::strerror(err);
        return false;
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        *error = path + ": " + reason();
        return false;
    }
    return true;
}

// Closing a descriptor takes it out of the epoll set; nothing else does.
void watch(int epoll, int fd, uint64_t key, uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = key;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
}

} // namespace

std::string preparePipeFolder(const std::string& folder) {
    std::string parent = folder.substr(0, folder.find_last_of('/'));
    if (!parent.empty() && parent != folder)
        makeFolders(parent);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return folder + ": " + reason();
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return folder + ": " + reason();
    if (!S_ISDIR(st.st_mode))
        return fillIn(translate("Pipes", "%1 is not a folder"), {folder});
    if (st.st_uid != ::geteuid())
        return fillIn(translate("Pipes", "%1 belongs to another user"), {folder});
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return fillIn(translate("Pipes", "%1 may be written by other users"), {folder});
    return {};
}

int bytesWaiting(int fd) {
    int n = 0;
    if (::ioctl(fd, FIONREAD, &n) != 0)
        return 0;
    return n;
}

bool PipeServer::create(const std::string& folder, std::string* error) {
    std::string ignored;
    error = error ? error : &ignored;
    if (m_created)
        return true;
    m_path = folder + "/" + m_name;
    sockaddr_un addr;
    if (!socketAddress(m_path, addr)) {
        *error =
            fillIn(translate("Pipes", "%1: the path is too long for a local socket"), {m_path});
        return false;
    }
    if (!clearStaleSocket(m_path, addr, error))
        return false;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = reason();
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        *error = m_path + ": " + reason();
        ::close(fd);
        return false;
    }
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0) {
        m_inode = st.st_ino;
        m_device = st.st_dev;
    }
    m_gate.open();
    m_offered.store(fd);
    m_created = true;
    return true;
}

void PipeServer::close() {
    m_gate.shut();
    for (int* fd : {&m_listen, &m_client}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (int offered = m_offered.exchange(-1); offered >= 0)
        ::close(offered);
    if (!m_created)
        return;
    m_created = false;
    // Another program may have taken the name meanwhile: only our own file goes.
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0 && st.st_ino == m_inode && st.st_dev == m_device)
        ::unlink(m_path.c_str());
}

void PipeServer::handle(const uint32_t* events, PipeReader& reader, Milliseconds now) {
    if (m_client >= 0 && events[1]) {
        bool more = (events[1] & EPOLLIN) && reader.read(m_client, now);
        if ((events[1] & (EPOLLHUP | EPOLLRDHUP | EPOLLERR)) && !more)
            dropClient();
    }
    // A client that connected and wrote between two ticks is read at once.
    if ((events[0] & EPOLLIN) && acceptPending(reader))
        reader.read(m_client, now);
}

void PipeServer::adoptListener() {
    if (m_offered.load(std::memory_order_relaxed) < 0)
        return;
    int fd = m_offered.exchange(-1);
    if (fd < 0)
        return;
    if (m_listen >= 0)
        ::close(m_listen);
    m_listen = fd;
    watch(m_epoll, fd, m_key, EPOLLIN);
}

bool PipeServer::acceptPending(PipeReader& reader) {
    bool taken = false;
    for (int i = 0; i < kAcceptsPerTick; ++i) {
        int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            break;
        if (m_client >= 0) {
            // One client at a time: the second one learns it at once.
            ::close(fd);
            m_refused.fetch_add(1, std::memory_order_relaxed);
            uiwake::poke(); // the log says so
            continue;
        }
        m_client = fd;
        watch(m_epoll, fd, m_key + 1, EPOLLIN | EPOLLRDHUP);
        reader.newClient();
        m_connects.fetch_add(1, std::memory_order_relaxed);
        taken = true;
        uiwake::poke();
    }
    return taken;
}

void PipeServer::dropClient() {
    ::close(m_client);
    m_client = -1;
    m_departures.fetch_add(1, std::memory_order_relaxed);
    uiwake::poke();
}

PipeSet::PipeSet() : m_epoll(::epoll_create1(EPOLL_CLOEXEC)) {}

PipeSet::~PipeSet() {
    if (m_epoll >= 0)
        ::close(m_epoll);
}

void PipeSet::add(PipeServer& server, PipeReader& reader) {
    if (m_count == kMaxPipes)
        return;
    server.m_epoll = m_epoll;
    server.m_key = 2 * m_count;
    m_pipes[m_count++] = {&server, &reader};
}

void PipeSet::serve(Milliseconds now) {
    bool in[kMaxPipes] = {};
    bool any = false;
    for (size_t i = 0; i < m_count; ++i) {
        PipeServer& server = *m_pipes[i].server;
        in[i] = server.m_gate.enter();
        if (!in[i])
            continue;
        server.adoptListener();
        if (server.m_listen < 0) {
            server.m_gate.leave();
            in[i] = false;
        }
        any = any || in[i];
    }
    if (!any)
        return;
    epoll_event ready[2 * kMaxPipes];
    int n = ::epoll_wait(m_epoll, ready, int(2 * kMaxPipes), 0);
    uint32_t events[2 * kMaxPipes] = {};
    for (int k = 0; k < n; ++k)
        if (ready[k].data.u64 < 2 * kMaxPipes)
            events[ready[k].data.u64] |= ready[k].events;
    for (size_t i = 0; i < m_count; ++i) {
        if (!in[i])
            continue;
        if (n > 0)
            m_pipes[i].server->handle(&events[2 * i], *m_pipes[i].reader, now);
        m_pipes[i].server->m_gate.leave();
    }
}

} // namespace orvane
