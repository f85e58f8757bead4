#pragma once
// The DMX recording file "dmxraw.bin": no header, a sequence of records, each a
// 16-bit little-endian length followed by that many frame bytes (channel 1
// first). This program writes only 512-byte records, one per output tick.
//
// The files are opened on the user-interface thread (openForRecording,
// openForReplay) and the descriptor is handed to the output thread, which wraps
// it in a writer or reader. Neither allocates: the writer makes one write per
// record, the reader refills a fixed buffer with one read every few ticks.

#include "dmx/universe.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

constexpr const char* kRecordingFileName = "dmxraw.bin";
constexpr std::size_t kRecordHeaderBytes = 2;
constexpr std::size_t kRecordBytes = kRecordHeaderBytes + kUniverseSize; // 514

using RecordBytes = std::array<uint8_t, kRecordBytes>;

// A 512-byte record of the universe.
RecordBytes encodeRecord(const Universe& universe);

// Descriptors, or -1. The recording is truncated.
int openForRecording(const std::string& path);
int openForReplay(const std::string& path);

class DmxRecordWriter {
public:
    DmxRecordWriter() = default;
    ~DmxRecordWriter() { close(); }
    DmxRecordWriter(const DmxRecordWriter&) = delete;
    DmxRecordWriter& operator=(const DmxRecordWriter&) = delete;

    // Takes ownership of the descriptor; an open file is closed first.
    void adopt(int fd);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Appends one record; false when it could not be written whole.
    bool write(const Universe& universe);

private:
    int m_fd = -1;
};

// Why a replay file would not play whole, or nothing when every record of it
// plays: it cannot be opened, holds no record, has a record longer than a
// universe (the replay stops there) or ends inside a record.
std::optional<std::string> replayFileProblem(const std::string& path);

enum class ReplayRead : uint8_t {
    Record,   // a complete record was read into the frame
    End,      // no complete length or record: end of file or read error
    Overlong, // the record is longer than a universe; nothing was read into the frame
};

class DmxReplayReader {
public:
    DmxReplayReader() = default;
    ~DmxReplayReader() { close(); }
    DmxReplayReader(const DmxReplayReader&) = delete;
    DmxReplayReader& operator=(const DmxReplayReader&) = delete;

    void adopt(int fd);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Reads the next record over the start of frame; bytes past a short record
    // keep their previous values.
    ReplayRead next(Universe& frame);
    // Bytes read from the file but not taken as a record: after End, the start
    // of a record cut short by the end of the file.
    std::size_t pendingBytes() const { return m_end - m_begin; }

private:
    bool fill(std::size_t needed);

    int m_fd = -1;
    std::array<uint8_t, 4096> m_buffer{};
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
};

} // namespace orvane
