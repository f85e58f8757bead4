#pragma once
// A real olad for tests and benchmarks, only ever inside a private network
// namespace: NetworkNamespace moves the calling thread (and every process it
// starts afterwards) into a fresh namespace with nothing but a loopback
// interface; OladProcess refuses to start anywhere else. olad runs as the user
// "olad" with a configuration folder written here (every plugin disabled), no
// HTTP server and no DNS-SD announcement. OlaRecorder reads a universe back
// through OLA's own ola_recorder.

#include <string>
#include <sys/types.h>
#include <vector>

namespace orvane::test {

class NetworkNamespace {
public:
    NetworkNamespace();
    // Back to the namespace the thread came from.
    ~NetworkNamespace();
    NetworkNamespace(const NetworkNamespace&) = delete;
    NetworkNamespace& operator=(const NetworkNamespace&) = delete;

    bool ok() const { return m_ok; }
    // Why there is no namespace (for a skip message).
    const std::string& error() const { return m_error; }

private:
    int m_original = -1;
    bool m_ok = false;
    std::string m_error;
};

// True when the calling thread's network namespace is not the one of process
// 1 and holds no interface but "lo".
bool inPrivateNetworkNamespace();

class OladProcess {
public:
    // Writes the configuration under folder (made reachable for the olad user)
    // and starts olad on rpcPort, waiting until it accepts connections.
    explicit OladProcess(const std::string& folder, int rpcPort = 9010);
    ~OladProcess();
    OladProcess(const OladProcess&) = delete;
    OladProcess& operator=(const OladProcess&) = delete;

    bool ok() const { return m_pid > 0 && m_error.empty(); }
    const std::string& error() const { return m_error; }
    // SIGTERM and wait; true when it ended within the time.
    bool stop();
    // The configuration files that enable a plugin after olad wrote its own.
    std::vector<std::string> enabledPluginFiles() const;
    std::string log() const;

private:
    bool waitReady(int timeoutMs);
    bool writeConfig();

    std::string m_folder;
    std::string m_config;
    int m_port;
    pid_t m_pid = -1;
    std::string m_error;
};

// ola_recorder on one universe, saving to a file when stopped.
class OlaRecorder {
public:
    OlaRecorder(const std::string& file, unsigned universe);
    ~OlaRecorder();
    bool ok() const { return m_pid > 0; }
    // Ends the recording (SIGINT, as ola_recorder saves then) and returns the
    // frames recorded, 512 values each.
    std::vector<std::vector<uint8_t>> stop();

private:
    std::string m_file;
    pid_t m_pid = -1;
};

// The OLA tools and the olad user this needs; empty when all are there,
// otherwise what is missing.
std::string missingOlaTools();

} // namespace orvane::test
