#pragma once
// One place of the device table and what waits to be sent to it. Server
// thread only.

#include "core/clock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

// The bytes of a file being sent; several devices share one copy. The bytes
// count against the server's file memory ceiling while they live.
class FileBytes {
public:
    FileBytes(std::vector<char> bytes, size_t& inUse) : m_bytes(std::move(bytes)), m_inUse(inUse) {
        m_inUse += m_bytes.size();
    }
    ~FileBytes() { m_inUse -= m_bytes.size(); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    const char* data() const { return m_bytes.data(); }
    size_t size() const { return m_bytes.size(); }

private:
    std::vector<char> m_bytes;
    size_t& m_inUse;
};

// A message (or a file) on its way to one device.
struct Chunk {
    std::string text;
    std::shared_ptr<const FileBytes> file;
    size_t offset = 0;

    const char* data() const { return file ? file->data() : text.data(); }
    size_t size() const { return file ? file->size() : text.size(); }
};

struct DeviceSlot {
    int fd = -1;
    std::string address; // dotted IPv4
    int number = -2;
    bool sleeping = false;
    bool awaitingAnswer = false;
    Milliseconds nextKeepAlive{0};

    std::deque<Chunk> out;
    size_t textQueued = 0; // bytes of messages (not files) waiting
    int filesQueued = 0;
    bool writeWatched = false;

    // Reading at a bounded rate.
    Milliseconds readWindowStart{0};
    size_t readInWindow = 0;
    bool readPaused = false;
    bool floodLogged = false;

    // The last "says" line and how often it came again since it was logged.
    std::string lastSaid;
    uint32_t repeats = 0;
    Milliseconds repeatsSince{0};

    bool open() const { return fd >= 0; }
};

} // namespace orvane
