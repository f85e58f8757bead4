#pragma once
// Keeps the show's unsaved changes safe from a crash, a kill or a power cut.
// Soon after any change (to the store, or to the console's controls of the
// current step), what a save would write is kept beside the show file in its
// recovery file ("dmx.ini.recovery", show/recoveryfile.h): the text is made on
// the user-interface thread, the disk is written on the writer's thread. A
// save, a clean quit, removes it. At the next start, a recovery file newer
// than the show file opens in its place, and the show file stays as it is
// until the operator saves.
//
// The check runs from a periodic tick that rests with the console: it has
// nothing to do until a control, the store or the playback clock moves.
// User-interface thread only (the writer's reports come back through post).

#include "console/showsession.h"
#include "core/clock.h"
#include "show/recoveryfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

struct RecoveryHooks {
    // Runs a call on the user-interface thread; the writer reports from its own.
    std::function<void(std::function<void()>)> post;
    // A line for the window (status line and log) and stderr.
    std::function<void(const std::string& text, bool error)> tell;
    // The playback clock's rounds: while it runs, the console may change in
    // ways no control shows (the room plan's lamps).
    std::function<uint64_t()> consoleRounds;
};

class ShowRecovery {
public:
    // A change is kept within this time (and the disk written right after).
    static constexpr Milliseconds kPeriod{1000};

    ShowRecovery(ShowSession& session, RecoveryHooks hooks);
    ~ShowRecovery();
    ShowRecovery(const ShowRecovery&) = delete;
    ShowRecovery& operator=(const ShowRecovery&) = delete;

    // Once the show file was read: a whole recovery file newer than it is read
    // into the store in its place, and the window told "Recovered unsaved
    // changes from <time>"; one that cannot be used is refused with its reason
    // and left where it is (a later write sets it aside under another name).
    void recoverAtStart();
    // The show and the console as they stand are what the files hold: nothing
    // is kept until something changes. After the start-up.
    void settle();
    // The periodic check: what a save would write is kept if it changed.
    void tick();
    // Nothing moved since the last check.
    bool idle() const;
    // A save wrote the show file: the recovery file goes.
    void saved();
    // The program ends: changes no save took are kept now, and the writer
    // finishes (a clean quit's removal included) before this returns.
    void finish();

    const std::string& path() const { return m_path; }

private:
    // What a save would write depends on these.
    struct Kept {
        bool valid = false;
        uint64_t tableChanges = 0;
        uint32_t manualStep = 0;
        TextEncoding encoding = TextEncoding::Utf8;
        int current = 0;
        StepRecord step;
        StepRecord next;
        bool operator==(const Kept&) const = default;
    };
    Kept now() const;
    void noteSeen();
    void keep(Kept state);
    void setDamagedAside();
    RecoveryWriter& writer();
    void reported(const RecoveryWriter::Report& report);
    void tell(const std::string& text, bool error);
    std::string refusedText(const std::string& reason) const;

    ShowSession& m_session;
    RecoveryHooks m_hooks;
    std::string m_path;
    std::unique_ptr<RecoveryWriter> m_writer;
    Kept m_kept;
    uint64_t m_controlsSeen = 0;
    uint64_t m_tableSeen = 0;
    uint64_t m_roundsSeen = 0;
    bool m_damagedInPlace = false; // a refused file still holds the name
    bool m_failing = false;        // the last write failed, and was said
    bool m_stopped = false;
};

} // namespace orvane
