#pragma once
// The recovery file of a show: "dmx.ini.recovery" beside the show file, holding
// what a save would write while the show has changes that are not saved. It
// is the show file's text followed by one closing line, a section header that
// no entry follows (so the file reads as a show file), which gives the length
// and a checksum of everything before it: a file cut short or changed is told
// from a whole one. It is written as the show file is (a temporary file in the
// show folder, flushed to the disk, renamed over the old one), so a program
// killed at any moment leaves either the previous recovery file or the new one.

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvane {

std::string recoveryFilePath(const std::string& showFilePath);

// The show file's text with its closing line.
std::string sealRecoveryText(std::string showText);

struct RecoveryFileCheck {
    enum class State {
        Absent,  // no recovery file
        Older,   // not newer than the show file: a save came after it
        Usable,  // whole, and newer than the show file
        Damaged, // cannot be read, or not whole: reason says why
    };
    State state = State::Absent;
    std::string reason;
    timespec written{}; // when it was last written
};
// Reads the recovery file whole (a regular file only) and checks its closing
// line. The show file may be missing: any recovery file is newer then.
RecoveryFileCheck checkRecoveryFile(const std::string& recoveryPath,
                                    const std::string& showFilePath);

// Writes data to path through a temporary file in the same folder, flushed to
// the disk and renamed over path, the folder flushed after. 0, or the errno of
// the step that failed (path is then as it was).
int writeFileWhole(const std::string& path, std::string_view data);

// Writes and removes the recovery file on a thread of its own, so the user-
// interface thread never waits on the disk. Jobs do not queue: a text handed
// over while another one waits replaces it, and remove() replaces any text
// waiting (what comes last is what the disk ends with). Each job done is
// reported to `done` on the writer's thread. The object is used from one
// thread (the user-interface thread).
class RecoveryWriter {
public:
    struct Report {
        bool removal = false; // a removal, else a write
        int error = 0;        // 0: done
    };
    RecoveryWriter(std::string path, std::function<void(const Report&)> done);
    // Finishes the job waiting, then stops the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    const std::string& path() const { return m_path; }
    void write(std::string sealedText);
    // The show file's text in parts, joined and sealed on the writer's thread:
    // the user-interface thread only hands over shared, unchanging texts.
    using Parts = std::vector<std::shared_ptr<const std::string>>;
    void write(Parts showTextParts);
    void remove();
    // Blocks until no job waits or runs (a quit waits for the removal).
    void waitIdle();

private:
    enum class Job { None, Write, Remove };
    void run();

    const std::string m_path;
    std::function<void(const Report&)> m_done;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    Job m_job = Job::None;
    std::string m_text;
    Parts m_parts; // when not empty, the text to join and seal
    bool m_running = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace orvane
