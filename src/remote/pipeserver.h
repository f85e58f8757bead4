#pragma once
// The server end of a local pipe: a Unix domain stream socket in the pipe
// folder that other programs on this machine connect to. The user-interface
// thread creates the listening socket and closes it; the output tick polls it:
// it takes one client at a time, reads what that client sent, and after the
// client left takes the next one. A second client while one is connected is
// refused (accepted and closed at once), so it is never left hanging.
//
// The tick side makes non-blocking system calls only and never allocates.

#include "core/clock.h"
#include "remote/tickgate.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace orvane {

constexpr const char* kFramePipeName = "orvanepipeserver";
constexpr const char* kSystemPipeName = "orvanesystemserver";

// Makes the pipe folder (mode 0700) when it does not exist. Refuses a folder
// that is a symbolic link, belongs to another user or that others may write
// to: another user could otherwise put sockets of their own in our place.
// Returns an empty text on success, else the reason.
std::string preparePipeFolder(const std::string& folder);

// Bytes waiting on a socket (FIONREAD), 0 on an error.
int bytesWaiting(int fd);

// What a pipe's client sent, read on the output thread.
class PipeReader {
public:
    virtual ~PipeReader() = default;
    // Reads from the client; true when usable bytes are still waiting because
    // this tick's share ran out (a client that left is then kept until they
    // are read).
    virtual bool read(int fd, Milliseconds now) = 0;
    // A new client: nothing of the last one's half-read data carries over.
    virtual void newClient() = 0;
};

class PipeServer {
public:
    explicit PipeServer(std::string name) : m_name(std::move(name)) {}
    ~PipeServer() { close(); }
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    const std::string& name() const { return m_name; }

    // User-interface thread. Listens at folder/name and hands the socket to
    // the tick. A socket file left by a program that ended is replaced; one
    // that another program still listens on is not touched. False with the
    // reason in *error.
    bool create(const std::string& folder, std::string* error);
    bool created() const { return m_created; }
    const std::string& path() const { return m_path; }
    // Stops the tick's use of the pipe, closes both ends and removes the
    // socket file (only while it is still ours).
    void close();

    // Safe from any thread: counts the tick keeps for the window's log.
    uint32_t connects() const { return m_connects.load(std::memory_order_relaxed); }
    uint32_t departures() const { return m_departures.load(std::memory_order_relaxed); }
    uint32_t refused() const { return m_refused.load(std::memory_order_relaxed); }

private:
    friend class PipeSet;

    void handle(const uint32_t* events, PipeReader& reader, Milliseconds now);
    void adoptListener();
    bool acceptPending(PipeReader& reader); // true when a new client was taken
    void dropClient();

    std::string m_name;
    std::string m_path;
    bool m_created = false;
    ino_t m_inode = 0;
    dev_t m_device = 0;
    TickGate m_gate;
    int m_epoll = -1;               // the set's epoll instance
    uint64_t m_key = 0;             // its listener's key there; the client's is m_key + 1
    std::atomic<int> m_offered{-1}; // a listening socket the tick has not taken yet
    int m_listen = -1;              // output thread (and close())
    int m_client = -1;              // output thread (and close())
    std::atomic<uint32_t> m_connects{0};
    std::atomic<uint32_t> m_departures{0};
    std::atomic<uint32_t> m_refused{0};
};

// The pipes the output tick serves, watched by one epoll instance: a tick
// with nothing to read costs one system call for all of them (on the machines
// measured, the first system call after the tick's sleep costs several
// microseconds, more than everything else the tick does for the pipes).
class PipeSet {
public:
    static constexpr size_t kMaxPipes = 4;

    PipeSet();
    ~PipeSet();
    PipeSet(const PipeSet&) = delete;
    PipeSet& operator=(const PipeSet&) = delete;

    // User-interface thread, before the output thread starts; in serving order.
    void add(PipeServer& server, PipeReader& reader);

    // Output thread, once per tick.
    void serve(Milliseconds now);

private:
    struct Pipe {
        PipeServer* server = nullptr;
        PipeReader* reader = nullptr;
    };

    int m_epoll = -1;
    std::array<Pipe, kMaxPipes> m_pipes{};
    size_t m_count = 0;
};

} // namespace orvane
