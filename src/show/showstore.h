#pragma once
// The show store: the show file "dmx.ini" of the current show and its in-memory
// show table. Every step read and write of the show goes to the table; other
// files (effect files) go to the profile-file module. The table is written back
// to disk only by WriteShowFile. User-interface thread only.

#include "show/inifile.h"
#include "show/showtable.h"
#include "show/steprecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// Longest text a text field carries (read through a 1024-byte buffer).
constexpr size_t kTextFieldMax = 1023;
// Longest line of a written show file, CR LF included.
constexpr size_t kShowLineMax = 1023;

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

    // 0, or -1 when the file cannot be opened (the table is then left unchanged).
    int LoadShowFile(const std::string& path);
    // 0, -1 cannot open, -2 header line failed, -3 manualstep line failed, -5 an
    // entry line failed. The previous file stays intact on any failure.
    int WriteShowFile(const std::string& path, const Progress& progress = {});

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
};

} // namespace orvane
