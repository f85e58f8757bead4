#pragma once
// A pseudo-terminal as a stand-in DMX device: the code under test opens the
// slave path like a serial port, the test reads and writes the master side.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0; }
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

    // Everything the slave side has written so far, without waiting.
    std::vector<uint8_t> drain();
    // Exactly count bytes, waiting at most timeoutMs for them; fewer on time-out.
    std::vector<uint8_t> read(std::size_t count, int timeoutMs);
    // Bytes for the slave side to receive.
    bool write(std::span<const uint8_t> bytes);
    // Hangs up the slave side.
    void closeMaster();

private:
    int m_master = -1;
    std::string m_slavePath;
};

// The line configuration of a terminal as the kernel reports it (termios2).
struct LineConfig {
    unsigned outputBaud = 0;
    unsigned inputBaud = 0;
    bool freeBaud = false; // BOTHER
    unsigned dataBits = 0;
    bool parity = false;
    unsigned stopBits = 0;
    bool rawOutput = false; // no output processing
    bool rawInput = false;  // no canonical mode, no echo
};

std::optional<LineConfig> lineConfig(int fd);

} // namespace orvane::test
