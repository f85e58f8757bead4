#pragma once
// The show store: the show file "dmx.ini" of the current show and its in-memory
// show table. Every step read and write of the show goes to the table; other
// files (effect files) go to the profile-file module. The table is written back
// to disk only by WriteShowFile. User-interface thread only.

#include "core/clock.h"
#include "show/inifile.h"
#include "show/showtable.h"
#include "show/steprecord.h"
#include "show/textencoding.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// Texts (a caption, an Extra) keep every byte they have: no line or field of a
// show file has a length limit of its own, only the file as a whole has.
// Times are kept within what the playback counts in milliseconds.
constexpr double kMaxSeconds = 2147483.0;
// A show file larger than this is not a show file (a full show is ~5 MB).
constexpr size_t kShowFileMaxBytes = size_t(64) << 20;

// What the last LoadShowFile met.
struct ShowFileReport {
    bool exists = false;         // false: no such file (a new show)
    bool readWhole = false;      // the whole file was read into the table
    std::string reason;          // why it could not be read, when it could not
    size_t lines = 0;            // non-empty lines
    size_t headers = 0;          // section header lines among them
    size_t unreadLines = 0;      // lines that gave no entry: no "=", before any
                                 // section, or a section outside 0..499
    bool loneCrLineEnds = false; // its lines end in a lone CR (read as lines)
    size_t entries() const { return lines - headers - unreadLines; }
    // A file that has lines but not one of them a show could use.
    bool looksLikeShow() const { return lines == 0 || entries() > 0; }
};

// A time read from a file or a field: finite, 0..kMaxSeconds.
double clampSeconds(double seconds);
// Seconds to whole milliseconds, truncated toward zero, after clampSeconds.
Milliseconds secondsToMs(double seconds);

class ShowStore {
public:
    using Progress = std::function<void(unsigned done, unsigned total)>;

    explicit ShowStore(ProfileFiles& profiles) : m_profiles(profiles) {}

    void setShowFilePath(std::string path) { m_showPath = std::move(path); }
    const std::string& showFilePath() const { return m_showPath; }
    bool isShowFile(std::string_view file) const;

    int32_t ReadStoreInt(std::string_view section, std::string_view key, int32_t def,
                         std::string_view file);
    std::string ReadStoreString(std::string_view section, std::string_view key,
                                std::string_view def, size_t size, std::string_view file);
    void WriteStoreValue(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view file);

    // An empty file means the show file. fadeMs, when given, receives "fadet" in
    // whole milliseconds.
    void LoadStep(int section, StepRecord& record, std::string_view file = {},
                  uint32_t* fadeMs = nullptr);
    void SaveStep(int section, const StepRecord& record, std::string_view file = {},
                  bool lightOnly = false);
    // The show's step as LoadStep gives it into a fresh record, read again only
    // when the step's contents changed: the playback clock needs the current
    // and the next step on every tick. The reference holds until the call
    // after next.
    const StepRecord& StoredStep(int section);

    // 0, or -1 when the file cannot be opened or read whole (the table is then
    // left unchanged). Only a regular file is read. lastLoad() tells more.
    int LoadShowFile(const std::string& path);
    const ShowFileReport& lastLoad() const { return m_lastLoad; }
    // 0, -1 cannot open, -2 header line failed, -3 manualstep line failed, -5 an
    // entry line failed. The previous file stays intact on any failure; after a
    // success it is kept beside the new one as "<file>.bak".
    // lastWriteReason() is the system's reason for the last failure.
    int WriteShowFile(const std::string& path, const Progress& progress = {});
    const std::string& lastWriteReason() const { return m_lastWriteReason; }
    // After a success: why the previous file could not be kept as "<file>.bak"
    // (a folder of that name, a file that cannot be replaced), empty when it was.
    const std::string& lastBackupReason() const { return m_lastBackupReason; }

    // The text WriteShowFile writes, in memory, each section's entries taken
    // from sections (by default the table's own).
    using SectionSource = std::function<const std::vector<ShowTable::Entry>&(int section)>;
    std::string ShowFileText(const SectionSource& sections = {}) const;
    // The same text in parts: the head (the global section) and each section's
    // lines, which the show file's text is the concatenation of.
    std::string HeadText() const;
    std::string SectionText(const std::vector<ShowTable::Entry>& entries) const;

    // The encoding of the show's texts: the one the file came in (a new show
    // is UTF-8). Texts are kept and written back as they were read.
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding e) { m_encoding = e; }

    uint32_t manualStep() const { return m_manualStep; }
    void setManualStep(uint32_t step) { m_manualStep = step; }
    ShowTable& table() { return m_table; }
    const ShowTable& table() const { return m_table; }
    ProfileFiles& profiles() { return m_profiles; }

private:
    ProfileFiles& m_profiles;
    std::string m_showPath;
    ShowTable m_table;
    uint32_t m_manualStep = 1;
    ShowFileReport m_lastLoad;
    std::string m_lastWriteReason;
    std::string m_lastBackupReason;
    TextEncoding m_encoding = TextEncoding::Utf8;
    struct StoredStepSlot {
        bool valid = false;
        int section = 0;
        uint64_t generation = 0;
        uint64_t sharedGeneration = 0; // section 0 holds every step's check flags 1-4
        TextEncoding encoding = TextEncoding::Utf8;
        uint64_t lastUse = 0;
        StepRecord record;
    };
    std::array<StoredStepSlot, 2> m_storedSteps;
    uint64_t m_storedStepUses = 0;
};

// The temporary files a save leaves while it writes ("<folder>/.dmx.ini.XXXXXX"
// for the show file, ".dmx.ini.recovery.XXXXXX" for its recovery file): one
// left by a save that was killed is removed, and an
// effect file set aside by an effect save that was killed is put back.
// Returns the number of files removed or restored.
int removeSaveLeftovers(const std::string& folder);

} // namespace orvane
