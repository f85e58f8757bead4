#pragma once
// The remote show-control surfaces in the program: the command ring and the
// state board they share, the executor that acts on their commands through
// the console's controls, the publisher of the state, and the servers (OSC,
// the web remote), each in its slot under the name the console shows.
//
// The main window calls it at four places: start() where the DMX line opens
// (at once, or 5 s into a chained start), beforeTick() and afterTick() around
// every round of the playback clock, and stop() first in the shutdown.
// Commands are acted on as they arrive (the ring's descriptor wakes the
// user-interface thread, resting ticks or not), at most a few at a time, and
// a round of the playback clock follows at once to compose what they changed
// (two when the first made another step current, as a fade of no time does),
// so their light goes out with the next frame. Commands left over are acted
// on at the start of the next rounds, and busy() keeps the ticks awake while
// any wait. The state is published after every round.
//
// The console's indicator (control 4091) says which surfaces are on and where:
// "OSC: 127.0.0.1:9000  Web: off". What the servers log goes to the console's
// log.
// User-interface thread only.

#include "panels/remoteexecutor.h"
#include "playback/remotecommand.h"
#include "playback/remotestatepublisher.h"
#include "remote/kindlog.h"
#include "remote/remotesurface.h"

#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

namespace orvane {

class COrvaneDlg;

class RemoteSurfaces {
public:
    // Reads the settings and makes the servers they ask for (none listens
    // before start()). The main window's console, tools and DMX output must
    // exist already.
    explicit RemoteSurfaces(COrvaneDlg& main);
    ~RemoteSurfaces();
    RemoteSurfaces(const RemoteSurfaces&) = delete;
    RemoteSurfaces& operator=(const RemoteSurfaces&) = delete;

    // What the servers share.
    RemoteCommandRing& ring() { return m_ring; }
    RemoteStateBoard& board() { return m_board; }

    // Puts a server into the slot of that name ("OSC", "Web"), replacing what
    // was there; a null server leaves the slot off. where is the address it
    // will listen on, for the indicator before it opens. Before start().
    void attach(const std::string& name, std::unique_ptr<RemoteSurface> server,
                std::string where = {});
    RemoteSurface* surface(const std::string& name) const;

    // Opens every server of a slot; one that cannot listen says why in the
    // log and the status line, and the others open all the same.
    void start();
    // Closes them all; no command is acted on after it.
    void stop();

    void beforeTick();
    void afterTick();
    // Commands wait to be acted on.
    bool busy() const { return !m_ring.empty(); }

    // The indicator's text.
    std::string indicator() const;

    // Commands acted on per round of the playback clock, at most.
    static constexpr int kCommandsPerRound = 8;

private:
    struct Slot {
        std::string name;
        std::unique_ptr<RemoteSurface> server;
        std::string where;   // as the settings give it
        std::string failure; // why it could not open
    };
    Slot& slot(const std::string& name);
    int act();
    void onCommandsArrived();
    void roundsAfterCommands(const std::string& stepBefore);
    void publish();
    void makeOsc();
    void makeWeb();
    void sayWebAddress();
    void showIndicator();
    void log(const std::string& text, uint32_t colour);
    void collectLogs();

    COrvaneDlg& m_main;
    RemoteCommandRing m_ring;
    RemoteStateBoard m_board;
    std::vector<Slot> m_slots;
    RemoteExecutor m_executor;
    RemoteStatePublisher m_publisher;
    KindLog m_ignoredLog;
    std::string m_webAddress; // with a token just made: said once it listens
    std::unique_ptr<QSocketNotifier> m_arrivals;
    bool m_acting = false;    // commands or the rounds after them run now
    bool m_inRound = false;   // between beforeTick() and afterTick()
    int m_actedThisRound = 0; // commands acted on in beforeTick()
    std::string m_stepBeforeRound;
    bool m_started = false;
    bool m_stopped = false;
};

} // namespace orvane
