#pragma once
// The console of the main window as the playback sees it: putting a step record
// on the controls and capturing them back into a record, the next-step panel,
// and the live function state of the 42 patch entries (the values the room plan
// edits). The controls themselves are the live state; this class only moves
// records in and out of them. User-interface thread only.

#include "console/controlids.h"
#include "console/controlmodel.h"
#include "show/steprecord.h"
#include "show/textencoding.h"

#include <array>
#include <functional>

namespace orvane {

namespace console {
// Controls of the main window the console reads and writes.

// Faders 1..28 (level faders 1..24, then 25..28), in stored order.
extern const std::array<int, kFaderCount> kFaders;
// The 13 step colour buttons, colour 1 first.
extern const std::array<int, kColourCount> kColourButtons;
// The next-step panel: 24 level sliders and colour buttons 1..9.
extern const std::array<int, 24> kNextFaders;
extern const std::array<int, 9> kNextColourButtons;
} // namespace console

enum class DisplayMode { Full, Effect };

class Console {
public:
    explicit Console(ControlModel& controls);

    // Puts a record on the console. Effect mode puts only the light part;
    // writeMaster false leaves the master fader as it is.
    void display(const StepRecord& record, DisplayMode mode, bool writeMaster = true);
    // Reads every control and live value into a fresh record.
    StepRecord capture() const;

    // The hidden next-step panel: shows step n + 1, and puts what it shows over
    // a record of step n + 1 when the step is left.
    void displayNext(const StepRecord& record);
    void captureNextOver(StepRecord& record) const;

    // Live function state per patch entry: what the room plan edits and the
    // composer reads. Type-0 entries use lamp values, the others value pairs.
    std::array<LampValues, kEntryCount>& lamps() { return m_lamps; }
    std::array<ValuePair, kEntryCount>& pairs() { return m_pairs; }
    const std::array<LampValues, kEntryCount>& lamps() const { return m_lamps; }
    const std::array<ValuePair, kEntryCount>& pairs() const { return m_pairs; }

    // The fixture windows take and give their blocks; until a window exists,
    // its block travels unchanged from display to capture.
    using BlockHook = std::function<void(StepRecord&)>;
    void setFixtureHooks(BlockHook show, BlockHook capture);

    ControlModel& controls() { return m_controls; }

    // The encoding of the show's stored texts: they are shown as UTF-8 and
    // stored back in this encoding.
    void setTextEncoding(TextEncoding encoding) { m_encoding = encoding; }

private:
    // A time as shown in its field: the exact stored value goes back while the
    // field still shows the text it was given.
    struct ShownTime {
        double value = 0.0;
        std::string text;
    };
    void showTime(int id, ShownTime& shown, double value);
    double capturedTime(int id, const ShownTime& shown) const;

    void displayColours(const StepRecord& r);
    void displayNonLight(const StepRecord& r);
    void captureNonLight(StepRecord& r) const;
    uint32_t captureColour6(uint32_t shown) const;

    ControlModel& m_controls;
    std::array<LampValues, kEntryCount> m_lamps{};
    std::array<ValuePair, kEntryCount> m_pairs{};
    std::array<ScannerBlock, kScannerCount> m_scanners{};
    std::array<HeadBlock, kHeadCount> m_heads{};
    uint32_t m_colour6Index = 0;
    uint32_t m_nextColour6Index = 0;
    BlockHook m_showBlocks;
    BlockHook m_captureBlocks;
    TextEncoding m_encoding = TextEncoding::Utf8;
    ShownTime m_timeDown, m_timeUp, m_fadeTime;
};

// "\n" in stored texts is the two characters backslash and n; the console's
// multi-line fields hold CR LF.
std::string storedToConsole(std::string_view stored);
std::string consoleToStored(std::string_view shown);

} // namespace orvane
